// rescomp: compiles resource text files into a C++ source that registers them.
//   rescomp -o <out.cpp> [-d <out.d>] <in.res.txt>...
// With -d it also writes the files the output depends on, as a make rule.
#include <cstdio>
#include <fstream>
#include <string>

#include "rescomp.h"

int main(int argc, char** argv) {
    std::string out, deps;
    rescomp::Compiler comp;
    std::string names;
    bool any = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "-o" && i + 1 < argc) {
            out = argv[++i];
            continue;
        }
        if (a == "-d" && i + 1 < argc) {
            deps = argv[++i];
            continue;
        }
        any = true;
        comp.AddFile(a);
        size_t slash = a.find_last_of('/');
        names += (names.empty() ? "" : ", ") + a.substr(slash == std::string::npos ? 0 : slash + 1);
    }
    if (out.empty() || !any) {
        std::fprintf(stderr, "usage: rescomp -o <out.cpp> <in.res.txt>...\n");
        return 2;
    }
    comp.Finish();
    if (!comp.errors().empty()) {
        for (const auto& e : comp.errors()) std::fprintf(stderr, "%s\n", e.Text().c_str());
        return 1;
    }
    if (!deps.empty()) {
        std::ofstream d(deps, std::ios::trunc);
        d << out << ":";
        for (const auto& f : comp.inputs()) d << " " << f;
        d << "\n";
    }
    std::string src = rescomp::GenerateSource(comp.resources(), names);
    // Rewrite only when changed, so an unchanged resource set does not rebuild its users.
    std::ifstream old(out, std::ios::binary);
    std::string prev((std::istreambuf_iterator<char>(old)), std::istreambuf_iterator<char>());
    if (prev == src) return 0;
    std::ofstream f(out, std::ios::binary | std::ios::trunc);
    f << src;
    if (!f) {
        std::fprintf(stderr, "rescomp: cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}
