#include "AvsScript.h"

#include <cstdio>
#include <strings.h>
#include <unistd.h>

namespace {

std::size_t LastSeparator(const std::string& path) { return path.find_last_of("/\\"); }

bool ExtensionIs(const std::string& ext, const char* const* list) {
    for (; *list; ++list)
        if (strcasecmp(ext.c_str(), *list) == 0) return true;
    return false;
}

const char* const kConvertFps[] = {".rm", ".rmvb", ".wmv", ".asf", nullptr};
const char* const kKeepFps[] = {".mp4", nullptr};
const char* const kDirect[] = {".swf", ".flv", ".m4v", ".h264", ".h261", ".h263",
                               ".mpg", ".avi", ".3gp", nullptr};

}  // namespace

std::string PathFileName(const std::string& path) {
    std::size_t sep = LastSeparator(path);
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

std::string PathExtension(const std::string& path) {
    std::string name = PathFileName(path);
    std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

bool AvsScriptNeeded(const std::string& inputPath) {
    std::string ext = PathExtension(inputPath);
    if (ExtensionIs(ext, kConvertFps) || ExtensionIs(ext, kKeepFps)) return true;
    return !ExtensionIs(ext, kDirect);
}

std::string AvsScriptText(const std::string& inputPath) {
    std::string ext = PathExtension(inputPath);
    std::string text = "LoadPlugin(\"directshowsource.dll\")\r\n";
    text += "DirectShowSource(\"" + inputPath + "\"";
    if (ExtensionIs(ext, kConvertFps))
        text += ", fps=23.976, convertfps=true )";
    else if (ExtensionIs(ext, kKeepFps))
        text += ", fps=23.976, convertfps=false )";
    else
        text += ")";
    text += "\r\nreturn last";
    return text;
}

int WriteAvsScriptFile(const std::string& scriptPath, const std::string& inputPath) {
    if (!AvsScriptNeeded(inputPath)) return 0;
    // A quote or a line break would end the script's string early and let a file name inject
    // script text; such a name cannot be carried by a script.
    if (inputPath.find_first_of("\"\r\n") != std::string::npos || inputPath.empty()) {
        unlink(scriptPath.c_str());
        return -1;
    }
    const std::string text = AvsScriptText(inputPath);
    std::FILE* f = std::fopen(scriptPath.c_str(), "wb");
    if (f == nullptr) {
        // Whatever an earlier file left there must not be converted under this file's name.
        unlink(scriptPath.c_str());
        return -1;
    }
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = (std::fclose(f) == 0) && ok;
    if (!ok) {
        unlink(scriptPath.c_str());
        return -1;
    }
    return 1;
}
