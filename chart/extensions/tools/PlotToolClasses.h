#pragma once
// The sixteen standard chart tools: registered at start-up, in one call, as
// tool types (which the tools gallery offers and stored charts recreate by
// class name), and removed again at shut-down. A class already registered
// is not added twice (the extensions' counted start-up calls these).

namespace lp {

void RegisterToolClasses();
void UnregisterToolClasses();

} // namespace lp
