// The date-time picker with its own skinned calendar drop-down, and the month calendar in the
// skin's colours with title buttons from skin images.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "ControlBase.h"
#include "SkinObject.h"

class CSkinDateTimeObject;
class CSkinMonthCalendarObject;

class CSkinDateTime : public CSkinControlBase {
public:
    static constexpr int kButtonWidth = 17;
    static constexpr int kUpDownId = 1000;  // the picker's up-down child

    explicit CSkinDateTime(CSkinWindow* owner) : CSkinControlBase(owner, SKIN_DATETIME) {}
    BOOL Attach(HWND hwnd) override;
    void Draw(HDC hdc) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    bool HasDropButton() const;
    RECT GetButtonRect() const;
    // Opens the calendar under the picker and runs it until a date is chosen (the picker takes
    // it at midnight) or the calendar is dismissed: by a click elsewhere or Escape, leaving the
    // date as it was, or by the calendar, the picker or the program going away.
    LRESULT DropDown();
    HWND GetCalendar() const { return m_hCalendar; }

private:
    CSkinDateTimeObject* DateObject() const;
    // The parent is told through the picker's handle: it may take the skin away meanwhile.
    void Notify(HWND picker, UINT code);
    // One turn of the drop-down's loop: 1 goes on, 0 ends with the calendar's date chosen,
    // -1 ends without a choice.
    int RunOneMessage(HWND picker);

    HWND m_hCalendar = nullptr;
};

class CSkinMonthCalendar : public CSkinControlBase {
public:
    enum HotPart { kNone = 0, kPrevious = 1, kNext = 2 };
    static constexpr UINT kApplyColours = 6030;

    explicit CSkinMonthCalendar(CSkinWindow* owner) : CSkinControlBase(owner, SKIN_MONTHCALENDAR) {}
    BOOL Attach(HWND hwnd) override;
    // The calendar's own colours come back.
    void Detach() override;
    CSkinObject* SetSkinObject(CSkinObject* object) override;
    void Draw(HDC hdc) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    const RECT& GetPreviousButton() const { return m_rcPrevious; }
    const RECT& GetNextButton() const { return m_rcNext; }
    int GetHotPart() const { return m_nHot; }

private:
    CSkinMonthCalendarObject* CalendarObject() const;
    LRESULT ApplyColours();
    int PartAt(LPARAM lParam) const;
    LRESULT OnMouse(UINT msg, WPARAM wParam, LPARAM lParam);

    RECT m_rcPrevious = {};
    RECT m_rcNext = {};
    int m_nHot = kNone;
    // The calendar's colours before the skin gave it its own, by MCSC_ index.
    COLORREF m_ownColours[MCSC_TRAILINGTEXT + 1] = {};
    bool m_bOwnColoursSaved = false;
};
