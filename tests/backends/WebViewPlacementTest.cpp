// The web view's pure parts: the file:// address of a page, the string
// literal of a script text, and where the view lies over its form's picture.
#include <gtest/gtest.h>

#include <string>

#include "platform/backends/gtk/NativePlacement.h"
#include "platform/backends/webkit/FileUri.h"
#include "platform/backends/webkit/ScriptText.h"

namespace {

using backends::gtk::ClipToClient;
using backends::gtk::NativeRect;
using backends::webkit::FileUriOf;
using backends::webkit::JsStringLiteral;

TEST(FileUriTest, EveryPathComesBackUnchanged)
{
    struct Row {
        std::string path;
        const char* uri;
    };
    const Row rows[] = {
        {"/card/Icon/googleMap.html", "file:///card/Icon/googleMap.html"},
        {"/my card/Icon/map.html", "file:///my%20card/Icon/map.html"},
        // Characters that would end the path or start an escape.
        {"/a#b/c?d/100%/e;f", "file:///a%23b/c%3Fd/100%25/e%3Bf"},
        {"/x/a+b&c=d'e\"f<g>", "file:///x/a%2Bb%26c%3Dd%27e%22f%3Cg%3E"},
        // UTF-8 bytes, escaped one by one.
        {"/カード/地図.html", "file:///%E3%82%AB%E3%83%BC%E3%83%89/%E5%9C%B0%E5%9B%B3.html"},
        {"/a\\b", "file:///a%5Cb"},
        {"/a-b_c.d~e", "file:///a-b_c.d~e"},
        {"/", "file:///"},
        // Nothing to load.
        {"", ""},
        {"card/Icon/map.html", ""},
        {std::string("/a\0b", 4), ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        EXPECT_EQ(FileUriOf(row.path), row.uri);
    }
}

TEST(ScriptTextTest, AStringLiteralHoldsTheTextUnchanged)
{
    struct Row {
        std::string text;
        const char* literal;
    };
    const Row rows[] = {
        {"CarMarker(35.6812, 139.7671,90, 'Y')", "\"CarMarker(35.6812, 139.7671,90, 'Y')\""},
        {"", "\"\""},
        {"say(\"hi\") \\ back", "\"say(\\\"hi\\\") \\\\ back\""},
        {"a\nb\rc\td", "\"a\\u000Ab\\u000Dc\\u0009d\""},
        {std::string("a\0b", 3), "\"a\\u0000b\""},
        {"\x7F", "\"\\u007F\""},
        {"x\u2028y\u2029z", "\"x\\u2028y\\u2029z\""},
        {"緯度 — \u2027", "\"緯度 — \u2027\""}, // other characters stay as they are
        {"cut \xE2\x80", "\"cut \xE2\x80\""}, // a cut sequence is left alone
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(JsStringLiteral(row.text), row.literal);
    }
}

TEST(NativePlacementTest, TheViewIsCutToTheFormsClientArea)
{
    struct Row {
        const char* what;
        int left, top, width, height;
        bool visible;
        NativeRect expected;
    };
    // A client area of 1200x858, the map panel at its right.
    const Row rows[] = {
        {"inside", 909, 0, 290, 430, true, {909, 0, 290, 430, true}},
        {"hidden", 909, 0, 290, 430, false, {}},
        {"no size yet", 0, 0, 0, 0, true, {}},
        {"negative size", 10, 10, -5, 20, true, {}},
        {"past the right edge", 1100, 100, 290, 430, true, {1100, 100, 100, 430, true}},
        {"past the bottom", 10, 700, 100, 300, true, {10, 700, 100, 158, true}},
        {"above and left", -50, -20, 100, 60, true, {0, 0, 50, 40, true}},
        {"wholly outside", 1300, 0, 100, 100, true, {}},
        {"touching the edge", 1200, 0, 100, 100, true, {}},
        {"far off, no wrap", 2147483000, 0, 2000, 100, true, {}},
        {"huge", -2147483647, -2147483647, 2147483647, 2147483647, true, {}},
        {"covering it all", -10, -10, 5000, 5000, true, {0, 0, 1200, 858, true}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(ClipToClient(row.left, row.top, row.width, row.height, row.visible, 1200, 858), row.expected);
    }
    EXPECT_EQ(ClipToClient(0, 0, 10, 10, true, 0, 858), NativeRect{}) << "a form without a client area";
}

} // namespace
