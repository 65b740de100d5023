// The build's tool that writes the main form's part of the site from the
// form's table (PageMarkup.h): the markup that index.html carries, the
// designed places and the looks of the marks for lotto.css, the media
// queries of the touch layout and of the designed face, or the caption,
// which is the page's title.
// Run by Node.js at build time, never part of the site.
#include "PageMarkup.h"
#include "Unit1.h"

#include <cstdio>
#include <string>
#include <string_view>

int main(int argc, char** argv)
{
    const std::string_view what = argc == 2 ? argv[1] : "";
    std::string out;
    if (what == "markup")
        out = PageMarkup::html(PageMarkup::Page(form1Definition).frame());
    else if (what == "places")
        out = PageMarkup::places(form1Definition);
    else if (what == "mark-styles")
        out = PageMarkup::markStyles();
    else if (what == "touch-query")
        out = PageMarkup::touchQuery(form1Definition);
    else if (what == "designed-face-query")
        out = PageMarkup::designedFaceQuery(form1Definition);
    else if (what == "caption")
        out = form1Definition.caption;
    else {
        std::fputs("usage: page_markup markup|places|mark-styles|touch-query|designed-face-query|caption\n", stderr);
        return 2;
    }
    std::fputs(out.c_str(), stdout);
    std::fputs("\n", stdout);
    return 0;
}
