#pragma once
// What the pages do with their controls: check boxes, lists and drop-down lists filled and
// searched the same way everywhere, the folder lists, and the pages' child dialogs.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "settings/Settings.h"

// A page: a hidden child dialog of parent made from a template; proc gets param with
// WM_INITDIALOG. Returns null on failure.
HWND createPage(HWND parent, int templateId, DLGPROC proc, void* param);

// The page object given to createPage, kept with the dialog for its procedure.
template <typename Page>
Page* pageOf(HWND page, UINT message, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrA(page, DWLP_USER, lParam);
    return reinterpret_cast<Page*>(GetWindowLongPtrA(page, DWLP_USER));
}

// The procedure of a page whose controls need no handling of their own.
INT_PTR CALLBACK plainPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Check boxes show a setting as checked when it is not 0, as the plug-in reads most switches,
// and give it back as 1 or 0.
void setCheck(HWND page, int id, uint32_t value);
uint32_t checkOf(HWND page, int id);

// Empties a list (not sorted) and fills it with entries; a multi-column list takes the column
// width and the item height in pixels.
void fillList(HWND list, choices::NameList entries, int columnWidth, int itemHeight);
void fillDropDown(HWND combo, choices::NameList entries);

// Selects the entry equal to value, or else the first entry whose text begins with value,
// both compared without regard to case, the second search from the second entry round to the
// first. An empty value selects nothing. A list or drop-down list without a match keeps its
// selection. Returns whether one was found.
bool selectListEntry(HWND list, const std::string& value);
bool selectDropDownEntry(HWND combo, const std::string& value);

// Stores the text of the selected entry in field; with nothing selected field keeps its value
// (a setting the user did not touch is not emptied because its entry is missing).
void collectListEntry(HWND list, std::string& field);
void collectDropDownEntry(HWND combo, std::string& field);

// The same for the setting named key, by the settings' key table: its list filled with the
// values the key offers, its entry selected from the record's field and stored back into it.
void fillList(HWND list, const char* key, int columnWidth, int itemHeight);
void fillDropDown(HWND combo, const char* key);
bool selectListEntry(HWND list, const Settings& settings, const char* key);
bool selectDropDownEntry(HWND combo, const Settings& settings, const char* key);
void collectListEntry(HWND list, Settings& settings, const char* key);
void collectDropDownEntry(HWND combo, Settings& settings, const char* key);

// The plug-in folder: the parent of this program's own folder ("...\Plugins\vis_vzrm\"), or
// an empty text when it cannot be found.
std::string pluginFolder();

// Fills a sorted list with what the folder subfolder of the plug-in folder holds: sub-folders
// and files under their names (a sub-folder's brackets in the platform's listing removed), the
// parent folder never. A missing folder gives an empty list.
void fillFolderList(HWND list, const char* subfolder);
