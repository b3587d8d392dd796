// skinbuild: writes the program's default skin file.
//   skinbuild <output.qvk> [--preview <sheet.png>]
#include <cstdio>
#include <cstring>
#include <string>

#include "Preview.h"
#include "SkinBuilder.h"

int main(int argc, char** argv)
{
    const char* output = nullptr;
    const char* preview = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--preview") == 0 && i + 1 < argc)
            preview = argv[++i];
        else if (argv[i][0] != '-' && !output)
            output = argv[i];
        else {
            fprintf(stderr, "usage: skinbuild <output.qvk> [--preview <sheet.png>]\n");
            return 2;
        }
    }
    if (!output && !preview) {
        fprintf(stderr, "usage: skinbuild <output.qvk> [--preview <sheet.png>]\n");
        return 2;
    }
    CSkinFile skin;
    skinbuild::BuildDefaultSkin(skin);
    if (output && !skin.SaveToFile(output)) {
        fprintf(stderr, "skinbuild: cannot write %s\n", output);
        return 1;
    }
    if (preview) {
        std::string error;
        if (!skinbuild::WritePreview(skin, preview, &error)) {
            fprintf(stderr, "skinbuild: cannot write the preview %s: %s\n", preview, error.c_str());
            return 1;
        }
    }
    return 0;
}
