// The build's tool that writes the main form's parts from the form's table
// (PageMarkup.h), each a file of its own in the folder it is given: the
// markup that index.html carries, the places and the looks of the marks for
// lotto.css, the media queries of the touch layout and of the designed face,
// the caption, which is the page's title, and the picture of the form that
// the tests read. Never part of the site, and never shows a window: it links
// the toolkit without a backend (NoBackend.cpp). In the browser build
// Node.js runs it.
#include "PageMarkup.h"
#include "Unit1.h"

#include <cstdio>
#include <exception>
#include <string>
#include <string_view>

namespace {

bool write(const std::string& folder, std::string_view name, const std::string& text)
{
    const std::string path = folder + "/" + std::string(name);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::perror(path.c_str());
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed)
        std::perror(path.c_str());
    return written && closed;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        (void)std::fputs("usage: page_markup FOLDER\n", stderr);
        return 2;
    }
    const std::string folder = argv[1];
    try {
        const FormDefinition& form = form1Definition;
        const bool written = write(folder, "markup", PageMarkup::html(PageMarkup::Page(form).frame()))
                             && write(folder, "places", PageMarkup::places(form))
                             && write(folder, "mark-styles", PageMarkup::markStyles())
                             && write(folder, "touch-query", PageMarkup::touchQuery(form))
                             && write(folder, "designed-face-query", PageMarkup::designedFaceQuery(form))
                             && write(folder, "caption", std::string(form.caption))
                             && write(folder, "form.json", PageMarkup::picture(form));
        return written ? 0 : 1;
    } catch (const std::exception& error) {
        (void)std::fprintf(stderr, "page_markup: %s\n", error.what());
        return 1;
    }
}
