#include "config_tool/AboutPage.h"

#include "config_tool/ConfigIds.h"
#include "config_tool/PageControls.h"

AboutPage::~AboutPage() {
    if (nameFont_) DeleteObject(nameFont_);
}

bool AboutPage::create(HWND parent) {
    window_ = createPage(parent, IDD_ABOUT, proc, this);
    return window_ != nullptr;
}

INT_PTR CALLBACK AboutPage::proc(HWND page, UINT message, WPARAM, LPARAM lParam) {
    AboutPage* self = pageOf<AboutPage>(page, message, lParam);
    if (message == WM_INITDIALOG && self) {
        // The page's own font, bold and twice as tall, for the name.
        LOGFONTA font = {};
        HFONT pageFont = reinterpret_cast<HFONT>(SendMessageA(page, WM_GETFONT, 0, 0));
        if (pageFont && GetObjectA(pageFont, sizeof font, &font)) {
            font.lfHeight *= 2;
            font.lfWeight = FW_BOLD;
            self->nameFont_ = CreateFontIndirectA(&font);
            if (self->nameFont_)
                SendDlgItemMessageA(page, IDC_ABOUT_NAME, WM_SETFONT,
                                    reinterpret_cast<WPARAM>(self->nameFont_), FALSE);
        }
    }
    return FALSE;
}
