// The combo box skinner for drop-down combo boxes: the skin's border, the current item in the
// text area, the drop-down button in its normal, hot, pressed and disabled looks, and the colours
// of the edit field inside. The drop-down list is a list box of its own, skinned apart.
#pragma once

#include "ControlBase.h"

class CSkinComboBoxObject;

class CSkinComboBox : public CSkinControlBase {
public:
    enum ButtonState { BUTTON_NORMAL, BUTTON_HOT, BUTTON_PRESSED };

    CSkinComboBox(CSkinWindow* owner, int type);
    ~CSkinComboBox() override;

    // Simple and variable owner-drawn combo boxes keep their own look.
    BOOL Attach(HWND hwnd) override;
    // Takes the skin off the drop-down list as well, when the combo box gave it one.
    void Detach() override;
    void Draw(HDC dc) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnMouseLeave() override;

    int GetButtonState() const { return m_nButtonState; }
    // The drop-down button's rectangle in client coordinates.
    RECT GetButtonRect() const;

private:
    CSkinComboBoxObject* ComboObject() const;
    // The drop-down list lies in a window of its own, which no parent's skin reaches: the
    // combo box has it skinned as a list box (when the skin has one).
    void SkinDropDownList();
    HWND FindDropDownList() const;
    void UpdateBrushes();
    void DeleteBrushes();
    void DrawButton(HDC dc, const CSkinComboBoxObject& o, const RECT& button);
    void DrawCurrentItem(HDC dc, const CSkinComboBoxObject& o, const RECT& area);
    void PaintOwnerDrawn();
    LRESULT OnEditColors(UINT msg, WPARAM wParam, LPARAM lParam, bool disabledLook);
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    void SetButtonState(int state);

    BOOL m_bOwnerDraw = FALSE;
    HBRUSH m_hNormalBrush = nullptr;
    HBRUSH m_hDisabledBrush = nullptr;
    COLORREF m_crNormalBrush = 0, m_crDisabledBrush = 0;  // the colours the brushes were made of
    int m_nButtonState = BUTTON_NORMAL;
    HWND m_hSkinnedList = nullptr;  // the drop-down list this combo box had skinned
};
