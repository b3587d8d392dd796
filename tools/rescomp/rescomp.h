// The resource compiler: reads the project's resource text format (docs/resources.md) and
// writes the binary resources, in the platform's layouts, as a C++ source that registers them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rescomp {

// One compiled resource. A type or name is an id (`*_id`, the string empty) or a string.
struct Resource {
    uint16_t type_id = 0;
    std::string type_name;
    uint16_t name_id = 0;
    std::string name;
    std::vector<uint8_t> data;
    std::string origin;  // "file:line" of its definition, for messages
};

struct Error {
    std::string where;  // "file:line"
    std::string message;
    std::string Text() const { return where + ": " + message; }
};

// Compiles the text of one or more files into resources. Icon images get ids that are unique
// across the whole call. Returns false with `errors` filled on any error.
class Compiler {
public:
    bool AddFile(const std::string& path);
    bool AddText(const std::string& text, const std::string& file_name);
    // Finishes: builds the string-table blocks and checks for duplicate resources.
    bool Finish();

    const std::vector<Resource>& resources() const { return resources_; }
    // Files read beside the resource texts (clips), for the build's dependencies.
    const std::vector<std::string>& inputs() const { return inputs_; }
    const std::vector<Error>& errors() const { return errors_; }

private:
    friend struct Parser;
    std::vector<Resource> resources_;
    std::vector<Error> errors_;
    std::vector<std::string> inputs_;
    struct StringEntry {
        uint16_t id;
        std::u16string text;
        std::string origin;
    };
    std::vector<StringEntry> strings_;
    uint16_t next_icon_id_ = 1;
    bool finished_ = false;
};

// The generated C++ source for a set of resources.
std::string GenerateSource(const std::vector<Resource>& resources, const std::string& comment);

// A drawing canvas for BITMAP and ICON art: 0xAARRGGBB pixels, alpha 0 or 255.
struct Canvas {
    int width = 0, height = 0;
    std::vector<uint32_t> px;
    Canvas(int w, int h) : width(w), height(h), px(size_t(w) * h, 0) {}
    uint32_t At(int x, int y) const { return px[size_t(y) * width + x]; }
    void Set(int x, int y, uint32_t c) {
        if (x >= 0 && y >= 0 && x < width && y < height) px[size_t(y) * width + x] = c;
    }
};

// Binary layouts.
std::vector<uint8_t> EncodeBitmap(const Canvas& c);  // 24-bit bottom-up DIB, no file header
std::vector<uint8_t> EncodeIconImage(const Canvas& c);  // 32-bit XOR + 1-bit AND mask
std::u16string Utf8ToUtf16(const std::string& s, bool* ok);

}  // namespace rescomp
