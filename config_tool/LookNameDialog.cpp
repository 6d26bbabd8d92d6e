#include "config_tool/LookNameDialog.h"

#include "config_tool/ConfigIds.h"

namespace {

// Far inside a path's 260 characters with the plug-in folder, "Looks\Mine\" and ".ini".
constexpr int kMaxNameChars = 100;

struct Asking {
    std::string name;
    const AcceptLookName* accept;
};

std::string withoutOuterBlanks(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The edit focused with all its text selected, ready to be typed over.
void focusName(HWND dialog) {
    HWND edit = GetDlgItem(dialog, IDC_LOOK_NAME);
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
    SendMessageA(edit, EM_SETSEL, 0, -1);
}

INT_PTR CALLBACK proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        const auto* asking = reinterpret_cast<const Asking*>(lParam);
        SendDlgItemMessageA(dialog, IDC_LOOK_NAME, EM_LIMITTEXT, kMaxNameChars, 0);
        SetDlgItemTextA(dialog, IDC_LOOK_NAME, asking->name.c_str());
        focusName(dialog);
        return FALSE;  // the focus is set
    }
    auto* asking = reinterpret_cast<Asking*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (!asking || message != WM_COMMAND) return FALSE;
    if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    if (LOWORD(wParam) != IDOK) return FALSE;
    char text[kMaxNameChars + 1] = {};
    GetDlgItemTextA(dialog, IDC_LOOK_NAME, text, sizeof text);
    const std::string name = withoutOuterBlanks(text);
    if ((*asking->accept)(dialog, name)) {
        asking->name = name;
        EndDialog(dialog, IDOK);
    } else {
        focusName(dialog);
    }
    return TRUE;
}

}  // namespace

std::string askLookName(HWND owner, const std::string& initial, const AcceptLookName& accept) {
    Asking asking = {initial, &accept};
    INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_LOOK_NAME),
                                     owner, proc, reinterpret_cast<LPARAM>(&asking));
    return result == IDOK ? asking.name : std::string();
}
