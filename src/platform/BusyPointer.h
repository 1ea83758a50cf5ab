#pragma once
// The busy (hourglass) pointer: one on/off setting, not a stack, so that nested long
// operations end with the normal pointer.

namespace tavrin {

void SetBusyPointer(bool busy);

}  // namespace tavrin
