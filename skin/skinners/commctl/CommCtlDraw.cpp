#include "CommCtlDraw.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "RasterImage.h"
#include "SkinDraw.h"
#include "SkinMemDC.h"
#include "SkinWindow.h"

namespace commctl {

void FillBackground(CSkinFile* file, HDC hdc, const RECT& rc, const SkinNineGrid& grid, COLORREF fill)
{
    if (IsRectEmpty(&rc))
        return;
    FillSolidRect(hdc, rc, fill);
    if (!IsGridPartEmpty(grid))
        DrawSkinImagePart(file, hdc, rc, grid, fill, 1, false);
}

SkinTextStyle TextStyleFromBlock(const BYTE (&block)[16])
{
    static_assert(sizeof(SkinTextStyle) == 16, "a text style fills the block");
    SkinTextStyle style;
    std::memcpy(&style, block, sizeof style);
    return style;
}

RECT RectFromBlock(const BYTE (&block)[16])
{
    RECT r;
    std::memcpy(&r, block, sizeof r);
    return r;
}

std::string StatusPartText(HWND statusBar, int part)
{
    // The high word of the length carries the part's drawing type.
    const int length = LOWORD(::SendMessageA(statusBar, SB_GETTEXTLENGTHA, WPARAM(part), 0));
    if (length <= 0)
        return std::string();
    std::vector<char> text(size_t(length) + 1, '\0');
    ::SendMessageA(statusBar, SB_GETTEXTA, WPARAM(part), reinterpret_cast<LPARAM>(text.data()));
    text.back() = '\0';
    return std::string(text.data());
}

std::string ToolButtonText(HWND toolBar, int commandId)
{
    const LRESULT length = ::SendMessageA(toolBar, TB_GETBUTTONTEXTA, WPARAM(commandId), 0);
    if (length <= 0)
        return std::string();
    std::vector<char> text(size_t(length) + 1, '\0');
    ::SendMessageA(toolBar, TB_GETBUTTONTEXTA, WPARAM(commandId), reinterpret_cast<LPARAM>(text.data()));
    text.back() = '\0';
    return std::string(text.data());
}

std::string WindowText(HWND hwnd)
{
    const int length = GetWindowTextLengthA(hwnd);
    if (length <= 0)
        return std::string();
    std::vector<char> text(size_t(length) + 1, '\0');
    GetWindowTextA(hwnd, text.data(), length + 1);
    return std::string(text.data());
}

std::string OneLineShown(const std::string& text, int width)
{
    const size_t most = size_t(std::max(width, 0)) + 1;
    size_t characters = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        // A character starts at every byte that does not continue a UTF-8 sequence.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && ++characters > most)
            return text.substr(0, i);
    }
    return text;
}

}  // namespace commctl
