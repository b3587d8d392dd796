// A menu resource made in a test: a menu bar of commands and popups, written as the resource
// compiler writes a menu template and registered under a numeric name for as long as it lives.
#pragma once

#include <string>
#include <vector>

#include "platres.h"
#include "windows.h"

namespace menures {

struct Node {
    std::string text;  // empty with id 0: a separator
    WORD id = 0;
    WORD state = 0;    // MF_GRAYED and the like
    std::vector<Node> popup;
    bool isPopup = false;
};

inline Node Item(const char* text, WORD id, WORD state = 0) { return Node{text, id, state, {}, false}; }
inline Node Separator() { return Node{}; }
inline Node Popup(const char* text, std::vector<Node> items, WORD state = 0) { return Node{text, 0, state, std::move(items), true}; }

class MenuResource {
public:
    MenuResource(WORD name, const std::vector<Node>& bar) : name_(name)
    {
        Word(0);  // version
        Word(0);  // header size
        Level(bar);
        entry_ = PLATRES_ENTRY{nullptr, 4, nullptr, name_, bytes_.data(), DWORD(bytes_.size())};
        PlatRegisterResources(&entry_, 1);
    }
    ~MenuResource() { PlatUnregisterResources(&entry_); }
    MenuResource(const MenuResource&) = delete;
    MenuResource& operator=(const MenuResource&) = delete;
    LPCSTR Name() const { return MAKEINTRESOURCEA(name_); }

private:
    void Word(WORD w)
    {
        bytes_.push_back(BYTE(w & 0xFF));
        bytes_.push_back(BYTE(w >> 8));
    }
    void Level(const std::vector<Node>& items)
    {
        for (size_t i = 0; i < items.size(); ++i) {
            const Node& n = items[i];
            Word(WORD(n.state | (n.isPopup ? 0x10 : 0) | (i + 1 == items.size() ? 0x80 : 0)));
            if (!n.isPopup)
                Word(n.id);
            for (char c : n.text)
                Word(WORD(BYTE(c)));
            Word(0);
            if (n.isPopup)
                Level(n.popup);
        }
    }

    WORD name_;
    std::vector<BYTE> bytes_;
    PLATRES_ENTRY entry_{};
};

}  // namespace menures
