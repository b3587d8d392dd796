// The skinners of the "Button" class that behave as buttons: push buttons, check boxes and radio
// buttons. Each picks the state record of its object from the control's state, with fixed
// fall-backs where a record is empty.
#pragma once

#include "CheckButtonBase.h"

class CSkinCheckBoxObject;

// State records of a Button object, in file order.
enum SkinButtonState : int {
    SKINBTN_NORMAL,
    SKINBTN_PRESSED,
    SKINBTN_DEFAULT,
    SKINBTN_FOCUSED,
    SKINBTN_HOT,
    SKINBTN_DISABLED,
    SKINBTN_STATES
};

// State records of a CheckBox or Radio object, in file order.
enum SkinMarkState : int {
    SKINMARK_UNCHECKED,
    SKINMARK_CHECKED,
    SKINMARK_DISABLED,
    SKINMARK_DISABLED_UNCHECKED,
    SKINMARK_DISABLED_CHECKED,
    SKINMARK_HOT_UNCHECKED,
    SKINMARK_HOT_CHECKED,
    SKINMARK_STATES
};

class CSkinButton : public CSkinCheckButtonBase {
public:
    CSkinButton(CSkinWindow* owner, int type);

    void Draw(HDC dc) override;
    CSkinObject* SetSkinObject(CSkinObject* object) override;
    BOOL Attach(HWND hwnd) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // The state record the button shows now.
    int ChooseState();

private:
    BOOL m_bDefault = FALSE;  // BS_DEFPUSHBUTTON
};

// What check boxes and radio buttons share: the mark, its text and the push-like look.
class CSkinMarkButton : public CSkinCheckButtonBase {
public:
    using CSkinCheckButtonBase::CSkinCheckButtonBase;

    void Draw(HDC dc) override;

    // The records the control shows now: its background, its mark and its text style.
    struct Look {
        int background, mark, text;
    };
    Look ChooseLook();

private:
    void DrawPushLike(HDC dc);
    void DrawMarkAndText(HDC dc, const CSkinCheckBoxObject& object, const Look& look);
};

class CSkinCheckBox : public CSkinMarkButton {
public:
    using CSkinMarkButton::CSkinMarkButton;
    // Auto check boxes tick and untick themselves, auto three-state ones cycle.
    void OnClick() override;
};

class CSkinRadio : public CSkinMarkButton {
public:
    using CSkinMarkButton::CSkinMarkButton;
    // An auto radio button is checked and the other radio buttons of its group unchecked.
    void OnClick() override;
};
