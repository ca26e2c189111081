// The icon an item would get, shown in the item dialog with its source text.
#include "editor/item_dialog.h"
#include <stdio.h>
#include <utility>
#include "common/icon_file.h"
#include "resources/resource_ids.h"

// Shows `icon` in the icon control and only then destroys the icon it
// replaces, so the control never holds a destroyed icon. Without a new icon
// the control goes back to the dialog's own icon.
void ItemDialog::ReplacePreviewIcon(HWND dialog, int iconControlId, OwnedIcon icon, bool repaint) {
    if (!icon && !m_previewIcon) return;
    HWND control = GetDlgItem(dialog, iconControlId);
    HICON shown = icon.Get();
    if (!shown) shown = LoadIconA(m_context.module, MAKEINTRESOURCEA(IDI_ITEM_DIALOG));
    SendMessageA(control, STM_SETICON, reinterpret_cast<WPARAM>(shown), 0);
    if (icon.Get() != m_previewIcon.Get())
        m_previewIcon = std::move(icon);
    else
        icon.Release(); // the one already held
    if (repaint) InvalidateRect(control, nullptr, TRUE);
}

void ItemDialog::ShowIconPreview(HWND dialog, int iconControlId, int textControlId,
                                 const char* target, const char* iconPath, int iconIndex,
                                 bool repaint) {
    const char* source;
    int index;
    if (iconPath && iconPath[0]) {
        source = iconPath;
        index = iconIndex;
    } else if (target && target[0]) {
        source = target;
        index = 0;
    } else {
        SetDlgItemTextA(dialog, textControlId, "Icon is Not Specified");
        return;
    }

    char text[300];
    snprintf(text, sizeof text, "%s, %d", source, index);
    SetDlgItemTextA(dialog, textControlId, text);
    if (repaint) InvalidateRect(GetDlgItem(dialog, textControlId), nullptr, TRUE);

    OwnedIcon icon(ExtractIconOrNull(m_context.module, source, index));
    ReplacePreviewIcon(dialog, iconControlId, std::move(icon), repaint);
}
