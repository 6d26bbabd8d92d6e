#pragma once
// The small dialog "Save current as..." opens to ask for a look's name. Its "Save" hands the
// name (blanks at either end dropped) to accept, which tells the user what is wrong with it and
// returns false to keep the dialog open for another try.

#include <windows.h>

#include <functional>
#include <string>

using AcceptLookName = std::function<bool(HWND dialog, const std::string& name)>;

// The name accepted, or an empty text when the user cancelled. initial is offered selected.
std::string askLookName(HWND owner, const std::string& initial, const AcceptLookName& accept);
