// The item-properties dialog (resource 104) and its working record.
#pragma once
#include <windows.h>
#include "common/handle_guards.h"
#include "editor/editor_state.h"
#include "editor/modal_dialog.h"

// The form the dialog shows and edits: a flow fills it, runs the dialog, and
// on OK reads it back. A new dialog's record is that of a new item.
struct ItemDialogData {
    char title[40] = "";
    int spinUpper = 0; // the up-arrow end of the position spinner
    int spinLower = 0; // the down-arrow end
    bool propertiesMode = false;
    char name[260] = "";
    bool isSubmenu = false;
    char target[260] = "";
    char parameters[260] = "";
    char startIn[260] = "";
    char iconPath[260] = "";
    int iconIndex = -1;
    int runMode = -1;
    int position = -1;
    char positionText[16] = ""; // decimal position as shown in control 1013
    int separator = 0;
};

class ItemDialog final : public ModalDialog {
  public:
    explicit ItemDialog(const EditContext& context) : m_context(context) {}
    ItemDialogData& Data() { return m_data; }
    // Runs dialog 104 without an owner: IDOK when the user confirmed valid
    // data, IDCANCEL otherwise. The editor state's dialogOpen is set while it
    // is up.
    INT_PTR Run();
    // The preview icon the dialog shows, its own; null when none.
    HICON PreviewIcon() const { return m_previewIcon.Get(); }
    // Shows in `dialog` the icon an item with these values would get, and its
    // source text. Either string may be null.
    void ShowIconPreview(HWND dialog, int iconControlId, int textControlId, const char* target,
                         const char* iconPath, int iconIndex, bool repaint);

  private:
    void OnInitDialog(HWND dialog) override;
    INT_PTR OnCommand(HWND dialog, WPARAM wParam, LPARAM lParam) override;
    void EndAsCancel(HWND dialog) override;
    void OnDestroy(HWND dialog) override;
    void End(HWND dialog, INT_PTR result);
    void Release(HWND dialog);
    void SetOpen(bool open);
    void OnOk(HWND dialog);
    void OnBrowseTarget(HWND dialog);
    void OnSetIcon(HWND dialog);
    void OnSubmenuClicked(HWND dialog, HWND checkbox);
    const char* FieldWithComma() const;
    void ReplacePreviewIcon(HWND dialog, int iconControlId, OwnedIcon icon, bool repaint);

    EditContext m_context;
    ItemDialogData m_data;
    OwnedIcon m_previewIcon;
};

// Open-file filters: the target's programs, and icon sources.
extern const char kProgramsFilter[];
extern const char kIconFilter[];
// Runs the open-file dialog and, when a file was chosen, puts its full path
// into control `controlId` of `ownerWindow`; true then.
bool BrowseForFile(HWND ownerWindow, int controlId, const char* filter, HINSTANCE module);
