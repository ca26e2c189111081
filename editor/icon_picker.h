// The icon picker (resource 111): a file name in, an icon index or -1 out.
#pragma once
#include <windows.h>
#include "common/handle_guards.h"
#include "editor/modal_dialog.h"

struct IconPickerData {
    const char* fileName = nullptr; // the caller's, valid while the picker runs
    OwnedImageList imageList;       // the icons shown; only while the picker is up
    int chosenIndex = -1;
};

class IconPicker final : public ModalDialog {
  public:
    // `module` is handed to ExtractIconA; `fileName` is the file whose icons
    // are offered.
    IconPicker(HINSTANCE module, const char* fileName) : m_module(module) {
        m_data.fileName = fileName;
    }
    // Runs dialog 111, owned by `owner`: the index of the icon chosen with
    // OK, -1 when none was.
    int Choose(HWND owner);
    const IconPickerData& Data() const { return m_data; }

  private:
    void OnInitDialog(HWND dialog) override;
    INT_PTR OnCommand(HWND dialog, WPARAM wParam, LPARAM lParam) override;
    void EndAsCancel(HWND dialog) override;
    void OnDestroy(HWND dialog) override;
    int LoadIcons(HIMAGELIST imageList) const;
    void FillList(HWND dialog, int count);
    void ReleaseImageList(HWND dialog);
    void Close(HWND dialog, INT_PTR result);

    HINSTANCE m_module;
    IconPickerData m_data;
};

// Runs a picker of the icons of `fileName`, owned by `ownerWindow`.
int ChooseIconIndex(HINSTANCE module, HWND ownerWindow, const char* fileName);
