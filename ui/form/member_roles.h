#pragma once

// The roll of an exercise: what the two role buttons do to the member selected in the members
// list. One operator at most; a member takes one role and keeps it while the dialog is open.

namespace ervalun {

// A member's role, as the roster holds it.
inline constexpr int kNoRole = -1;
inline constexpr int kOperatorRole = 0;
inline constexpr int kParticipantRole = 1;

// What one click does: the member takes a role, or a message says why not, or nothing happens.
struct RoleOutcome {
    int newRole = kNoRole;         // the role given; kNoRole: the member keeps its own
    const char* message = nullptr; // UTF-8, shown instead of giving a role; null for none
};

// The outcome of each button for one member.
struct RoleButtons {
    RoleOutcome selectOperator; // "Sélectionner &Opérateur"
    RoleOutcome addParticipant; // "Ajouter &Participant"
};

// role: the member's role before the click; operatorExists: whether an operator is chosen.
RoleButtons RoleRules(int role, bool operatorExists);

} // namespace ervalun
