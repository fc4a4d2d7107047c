#pragma once
// The tool classes of this folder made known by class name, so that stored
// charts holding them can be read back and a tool can be created from its
// class name. (Their entries in the tools gallery are made elsewhere.)

namespace lp {

void RegisterToolClasses();
void UnregisterToolClasses();

} // namespace lp
