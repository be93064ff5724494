#include "ui/form/member_roles.h"

namespace ervalun {

namespace {

RoleOutcome Gives(int role) {
    return {role, nullptr};
}

RoleOutcome Says(const char* message) {
    return {kNoRole, message};
}

} // namespace

RoleButtons RoleRules(int role, bool operatorExists) {
    RoleButtons buttons;
    // The checks come in this order: a participant is told so before being told that an
    // operator exists. The operator chosen again gets the latter message.
    if (role == kNoRole && !operatorExists) {
        buttons.selectOperator = Gives(kOperatorRole);
    } else if (role == kParticipantRole) {
        buttons.selectOperator = Says("opérateur déjà enregistré en tant que participant");
    } else if (operatorExists) {
        buttons.selectOperator = Says("opérateur déjà enregistré");
    }

    if (role == kNoRole) {
        buttons.addParticipant = Gives(kParticipantRole);
    } else if (role == kOperatorRole) {
        buttons.addParticipant = Says("participant déjà enregistré en tant qu'opérateur");
    } else {
        buttons.addParticipant = Says("participant déjà enregistré");
    }
    return buttons;
}

} // namespace ervalun
