#include "ui/form/member_roles.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using ervalun::RoleButtons;
using ervalun::RoleOutcome;
using ervalun::RoleRules;

// A cell of the table: the role the member takes (-1: none) and the message (empty: none).
struct Cell {
    int newRole;
    const char* message;
};

std::string Describe(const RoleOutcome& outcome) {
    return std::to_string(outcome.newRole) + " \"" +
           (outcome.message != nullptr ? outcome.message : "") + '"';
}

std::string Describe(const Cell& cell) {
    return std::to_string(cell.newRole) + " \"" + cell.message + '"';
}

TEST(RoleRules, EachRoleAndOperatorStateGivesTheButtonsOutcome) {
    const Cell none = {-1, ""};
    const Cell operatorRole = {0, ""};
    const Cell participantRole = {1, ""};
    struct Row {
        int role;
        bool operatorExists;
        Cell selectOperator;
        Cell addParticipant;
    };
    const Row rows[] = {
        {-1, false, operatorRole, participantRole},
        {-1, true, {-1, "opérateur déjà enregistré"}, participantRole},
        {0,
         true,
         {-1, "opérateur déjà enregistré"},
         {-1, "participant déjà enregistré en tant qu'opérateur"}},
        {1,
         false,
         {-1, "opérateur déjà enregistré en tant que participant"},
         {-1, "participant déjà enregistré"}},
        {1,
         true,
         {-1, "opérateur déjà enregistré en tant que participant"},
         {-1, "participant déjà enregistré"}},
        // An operator without the flag set cannot happen; the operator button then does
        // nothing at all rather than choose a second operator.
        {0, false, none, {-1, "participant déjà enregistré en tant qu'opérateur"}},
    };
    for (const Row& row : rows) {
        const RoleButtons buttons = RoleRules(row.role, row.operatorExists);
        SCOPED_TRACE("role " + std::to_string(row.role) +
                     (row.operatorExists ? ", operator exists" : ", no operator"));
        EXPECT_EQ(Describe(buttons.selectOperator), Describe(row.selectOperator));
        EXPECT_EQ(Describe(buttons.addParticipant), Describe(row.addParticipant));
    }
}

} // namespace
