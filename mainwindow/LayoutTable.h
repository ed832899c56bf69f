// The main window's four layouts, as plain data: the window applies them and
// the skin generator (tools/skingen) draws the backgrounds from them, so the
// pictures line up with the controls. Other panes may read the panel
// rectangles (PanelVideo, PanelMap, PanelList, PanelGraph) of a layout here.
//
// Rectangles are left, top, width, height in pixels of the client area.
// Index 0 is the largest layout; no rule derives one layout from another.
#pragma once

#include <cstdint>

struct TLayoutRect {
    std::int32_t Left;
    std::int32_t Top;
    std::int32_t Width;
    std::int32_t Height;
};

inline constexpr int LayoutRectCount = 40;
inline constexpr int LayoutCount = 4;

// One layout: the client size, then the 40 rectangles below.
struct TLayoutRecord {
    std::int32_t ClientWidth;
    std::int32_t ClientHeight;
    TLayoutRect Rects[LayoutRectCount];
};

// Which control each rectangle places. The icon rectangles are the cells of
// the ten function icons (their labels take the right part of the cell);
// the labels of the transport row take no height; of ImageTrack only the
// width counts, of ImageVolume only width and height.
enum TLayoutRectIndex : int {
    lrPanelVideo = 0,
    lrPanelMap = 1,
    lrPanelList = 2,
    lrPanelGraph = 3,
    lrIcon1 = 4,
    lrIcon2 = 5,
    lrIcon3 = 6,
    lrIcon4 = 7,
    lrIcon5 = 8,
    lrIcon6 = 9,
    lrIcon7 = 10,
    lrIcon8 = 11,
    lrIcon9 = 12,
    lrIcon10 = 13,
    lrEditPath = 14,
    lrTrackRect = 15,
    lrTrack = 16,
    lrPlayTime = 17,
    lrVolumeRect = 18,
    lrVolume = 19,
    lrComaPre = 20,
    lrPlay = 21,
    lrComaNext = 22,
    lrStop = 23,
    lrSpeedDown = 24,
    lrSpeedNone = 25,
    lrSpeedUp = 26,
    lrLabelComaPre = 27,
    lrLabelPlay = 28,
    lrLabelComaNext = 29,
    lrLabelStop = 30,
    lrLabelSpeedDown = 31,
    lrLabelSpeed = 32,
    lrLabelSpeedUp = 33,
    lrZoom1 = 34,
    lrZoom2 = 35,
    lrZoom3 = 36,
    lrZoom4 = 37,
    lrZoom0 = 38,
    lrLabelZoom = 39,
};

// The control names of the rectangles, in index order.
inline constexpr const char* LayoutRectNames[LayoutRectCount] = {
    "PanelVideo",      "PanelMap",        "PanelList",    "PanelGraph",     "Image2Screen",  "Image4Screen",
    "ImagePassword",   "ImageScreenShot", "ImagePrint",   "ImageTime",      "ImageFind",     "ImageDL",
    "ImageDel",        "ImageFolderSel",  "EditPath",     "ImageTrackRect", "ImageTrack",    "LabelPlayTime",
    "ImageVolumeRect", "ImageVolume",     "ImageComaPre", "ImagePlay",      "ImageComaNext", "ImageStop",
    "ImageSpeedDown",  "ImageSpeedNone",  "ImageSpeedUp", "LabelComaPre",   "LabelPlay",     "LabelComaNext",
    "LabelStop",       "LabelSpeedDown",  "LabelSpeed",   "LabelSpeedUp",   "ImageZoom1",    "ImageZoom2",
    "ImageZoom3",      "ImageZoom4",      "ImageZoom0",   "LabelZoom",
};

inline constexpr TLayoutRecord LayoutTable[LayoutCount] = {
    {1440,
     1030,
     {
         {164, 7, 919, 688}, // 0 PanelVideo
         {1091, 0, 348, 516}, // 1 PanelMap
         {1091, 517, 348, 425}, // 2 PanelList
         {164, 806, 919, 214}, // 3 PanelGraph
         {0, 0, 156, 94}, // 4 Image2Screen
         {0, 95, 156, 94}, // 5 Image4Screen
         {0, 190, 156, 94}, // 6 ImagePassword
         {0, 284, 156, 94}, // 7 ImageScreenShot
         {0, 379, 156, 94}, // 8 ImagePrint
         {0, 474, 156, 94}, // 9 ImageTime
         {0, 569, 156, 94}, // 10 ImageFind
         {0, 664, 156, 94}, // 11 ImageDL
         {0, 758, 156, 94}, // 12 ImageDel
         {0, 853, 156, 94}, // 13 ImageFolderSel
         {8, 967, 144, 29}, // 14 EditPath
         {178, 710, 893, 23}, // 15 ImageTrackRect
         {178, 710, 13, 23}, // 16 ImageTrack
         {1099, 948, 323, 14}, // 17 LabelPlayTime
         {1171, 982, 251, 26}, // 18 ImageVolumeRect
         {1174, 982, 13, 26}, // 19 ImageVolume
         {172, 746, 72, 28}, // 20 ImageComaPre
         {245, 746, 112, 28}, // 21 ImagePlay
         {358, 746, 70, 28}, // 22 ImageComaNext
         {428, 746, 70, 28}, // 23 ImageStop
         {514, 746, 84, 28}, // 24 ImageSpeedDown
         {599, 746, 98, 28}, // 25 ImageSpeedNone
         {698, 746, 85, 28}, // 26 ImageSpeedUp
         {172, 778, 72, 18}, // 27 LabelComaPre
         {245, 778, 112, 18}, // 28 LabelPlay
         {358, 778, 70, 18}, // 29 LabelComaNext
         {428, 778, 70, 18}, // 30 LabelStop
         {514, 778, 84, 18}, // 31 LabelSpeedDown
         {599, 778, 95, 18}, // 32 LabelSpeed
         {695, 778, 89, 18}, // 33 LabelSpeedUp
         {798, 746, 55, 28}, // 34 ImageZoom1
         {854, 746, 53, 28}, // 35 ImageZoom2
         {908, 746, 53, 28}, // 36 ImageZoom3
         {962, 746, 55, 28}, // 37 ImageZoom4
         {1019, 746, 52, 28}, // 38 ImageZoom0
         {798, 778, 272, 18}, // 39 LabelZoom
     }},
    {1200,
     858,
     {
         {137, 6, 766, 573}, // 0 PanelVideo
         {909, 0, 290, 430}, // 1 PanelMap
         {909, 431, 290, 354}, // 2 PanelList
         {137, 672, 766, 178}, // 3 PanelGraph
         {0, 0, 130, 78}, // 4 Image2Screen
         {0, 79, 130, 78}, // 5 Image4Screen
         {0, 158, 130, 78}, // 6 ImagePassword
         {0, 237, 130, 78}, // 7 ImageScreenShot
         {0, 316, 130, 78}, // 8 ImagePrint
         {0, 395, 130, 78}, // 9 ImageTime
         {0, 474, 130, 78}, // 10 ImageFind
         {0, 553, 130, 78}, // 11 ImageDL
         {0, 632, 130, 78}, // 12 ImageDel
         {0, 711, 130, 78}, // 13 ImageFolderSel
         {7, 806, 120, 24}, // 14 EditPath
         {148, 592, 744, 19}, // 15 ImageTrackRect
         {148, 592, 11, 19}, // 16 ImageTrack
         {916, 790, 269, 12}, // 17 LabelPlayTime
         {976, 818, 209, 22}, // 18 ImageVolumeRect
         {978, 818, 11, 22}, // 19 ImageVolume
         {143, 622, 60, 23}, // 20 ImageComaPre
         {204, 622, 93, 23}, // 21 ImagePlay
         {298, 622, 58, 23}, // 22 ImageComaNext
         {357, 622, 58, 23}, // 23 ImageStop
         {428, 622, 70, 23}, // 24 ImageSpeedDown
         {499, 622, 82, 23}, // 25 ImageSpeedNone
         {582, 622, 71, 23}, // 26 ImageSpeedUp
         {143, 648, 60, 15}, // 27 LabelComaPre
         {204, 648, 93, 15}, // 28 LabelPlay
         {298, 648, 58, 15}, // 29 LabelComaNext
         {357, 648, 58, 15}, // 30 LabelStop
         {428, 648, 70, 15}, // 31 LabelSpeedDown
         {499, 648, 79, 15}, // 32 LabelSpeed
         {579, 648, 74, 15}, // 33 LabelSpeedUp
         {665, 622, 46, 23}, // 34 ImageZoom1
         {712, 622, 44, 23}, // 35 ImageZoom2
         {757, 622, 44, 23}, // 36 ImageZoom3
         {802, 622, 46, 23}, // 37 ImageZoom4
         {849, 622, 43, 23}, // 38 ImageZoom0
         {665, 648, 227, 15}, // 39 LabelZoom
     }},
    {900,
     644,
     {
         {103, 5, 575, 430}, // 0 PanelVideo
         {682, 0, 218, 323}, // 1 PanelMap
         {682, 323, 218, 266}, // 2 PanelList
         {103, 504, 575, 134}, // 3 PanelGraph
         {0, 0, 98, 59}, // 4 Image2Screen
         {0, 59, 98, 59}, // 5 Image4Screen
         {0, 119, 98, 59}, // 6 ImagePassword
         {0, 178, 98, 59}, // 7 ImageScreenShot
         {0, 237, 98, 59}, // 8 ImagePrint
         {0, 296, 98, 59}, // 9 ImageTime
         {0, 356, 98, 59}, // 10 ImageFind
         {0, 415, 98, 59}, // 11 ImageDL
         {0, 474, 98, 59}, // 12 ImageDel
         {0, 533, 98, 59}, // 13 ImageFolderSel
         {5, 605, 90, 18}, // 14 EditPath
         {111, 444, 558, 14}, // 15 ImageTrackRect
         {111, 444, 8, 14}, // 16 ImageTrack
         {687, 593, 202, 9}, // 17 LabelPlayTime
         {732, 614, 157, 17}, // 18 ImageVolumeRect
         {734, 614, 8, 17}, // 19 ImageVolume
         {107, 467, 45, 17}, // 20 ImageComaPre
         {153, 467, 70, 17}, // 21 ImagePlay
         {224, 467, 44, 17}, // 22 ImageComaNext
         {268, 467, 44, 17}, // 23 ImageStop
         {321, 467, 53, 17}, // 24 ImageSpeedDown
         {374, 467, 62, 17}, // 25 ImageSpeedNone
         {437, 467, 53, 17}, // 26 ImageSpeedUp
         {107, 486, 45, 11}, // 27 LabelComaPre
         {153, 486, 70, 11}, // 28 LabelPlay
         {224, 486, 44, 11}, // 29 LabelComaNext
         {268, 486, 44, 11}, // 30 LabelStop
         {321, 486, 53, 11}, // 31 LabelSpeedDown
         {374, 486, 59, 11}, // 32 LabelSpeed
         {434, 486, 56, 11}, // 33 LabelSpeedUp
         {499, 467, 35, 17}, // 34 ImageZoom1
         {534, 467, 33, 17}, // 35 ImageZoom2
         {568, 467, 33, 17}, // 36 ImageZoom3
         {602, 467, 35, 17}, // 37 ImageZoom4
         {637, 467, 32, 17}, // 38 ImageZoom0
         {499, 486, 170, 11}, // 39 LabelZoom
     }},
    {675,
     483,
     {
         {77, 4, 431, 323}, // 0 PanelVideo
         {512, 0, 164, 242}, // 1 PanelMap
         {512, 242, 164, 200}, // 2 PanelList
         {77, 378, 431, 101}, // 3 PanelGraph
         {0, 0, 74, 44}, // 4 Image2Screen
         {0, 44, 74, 44}, // 5 Image4Screen
         {0, 89, 74, 44}, // 6 ImagePassword
         {0, 134, 74, 44}, // 7 ImageScreenShot
         {0, 178, 74, 44}, // 8 ImagePrint
         {0, 222, 74, 44}, // 9 ImageTime
         {0, 267, 74, 44}, // 10 ImageFind
         {0, 311, 74, 44}, // 11 ImageDL
         {0, 356, 74, 44}, // 12 ImageDel
         {0, 400, 74, 44}, // 13 ImageFolderSel
         {4, 454, 68, 14}, // 14 EditPath
         {83, 333, 419, 11}, // 15 ImageTrackRect
         {83, 333, 6, 11}, // 16 ImageTrack
         {515, 445, 152, 7}, // 17 LabelPlayTime
         {549, 461, 118, 13}, // 18 ImageVolumeRect
         {551, 461, 6, 13}, // 19 ImageVolume
         {80, 350, 34, 13}, // 20 ImageComaPre
         {115, 350, 53, 13}, // 21 ImagePlay
         {168, 350, 33, 13}, // 22 ImageComaNext
         {201, 350, 33, 13}, // 23 ImageStop
         {241, 350, 40, 13}, // 24 ImageSpeedDown
         {281, 350, 47, 13}, // 25 ImageSpeedNone
         {328, 350, 40, 13}, // 26 ImageSpeedUp
         {80, 365, 34, 8}, // 27 LabelComaPre
         {115, 365, 53, 8}, // 28 LabelPlay
         {168, 365, 33, 8}, // 29 LabelComaNext
         {201, 365, 33, 8}, // 30 LabelStop
         {241, 365, 40, 8}, // 31 LabelSpeedDown
         {281, 365, 44, 8}, // 32 LabelSpeed
         {326, 365, 42, 8}, // 33 LabelSpeedUp
         {374, 350, 26, 13}, // 34 ImageZoom1
         {401, 350, 25, 13}, // 35 ImageZoom2
         {426, 350, 25, 13}, // 36 ImageZoom3
         {452, 350, 26, 13}, // 37 ImageZoom4
         {478, 350, 24, 13}, // 38 ImageZoom0
         {374, 365, 128, 8}, // 39 LabelZoom
     }},
};

struct TLayoutFont {
    std::int32_t IconLabelHeight;
    std::int32_t WindowHeight;
    bool WindowBold;
};

// Font heights (cell heights in pixels, internal leading included) per layout.
inline constexpr TLayoutFont LayoutFontTable[LayoutCount] = {
    {15, 12, true},
    {14, 12, true},
    {12, 10, false},
    {9, 8, false},
};

// The time read-out shows whole: it is at least as high as the window
// font's cells, which the table's height is not in the small layouts (the
// window places it so, and the skin draws its well so).
inline constexpr std::int32_t PlayTimeHeight(int layout)
{
    const std::int32_t table = LayoutTable[layout].Rects[lrPlayTime].Height;
    const std::int32_t font = LayoutFontTable[layout].WindowHeight;
    return table > font ? table : font;
}

// A layout fits a work area this much larger than its client area (the
// window's frame and caption).
inline constexpr std::int32_t LayoutFrameWidth = 10;
inline constexpr std::int32_t LayoutFrameHeight = 25;

// The icon label starts this far into its cell (times the cell's width,
// truncated); the icon picture of the background shows left of it.
inline constexpr double IconLabelLeftFraction = 0.3893;

// The title area by which the window is dragged; the same in every layout.
inline constexpr TLayoutRect FormTitleRect = {294, 0, 299, 49};

// Pixel sizes of the skin pictures: the backgrounds per layout (stretched to
// the client area) and the twelve skinned buttons (stretched to their
// rectangles), by Tag 1..12.
struct TSkinSize {
    std::int32_t Width;
    std::int32_t Height;
};
inline constexpr TSkinSize SkinBackgroundSizes[LayoutCount] = {{1440, 1029}, {1200, 858}, {900, 643}, {675, 482}};
inline constexpr int SkinButtonCount = 12;
inline constexpr std::int32_t SkinButtonHeight = 42;
inline constexpr std::int32_t SkinButtonWidths[SkinButtonCount] = {103, 155, 100, 97, 122, 141,
                                                                   117, 78,  76,  77, 76,  73};
// The layout rectangle of the skinned button with Tag n is SkinButtonRects[n - 1].
inline constexpr int SkinButtonRects[SkinButtonCount] = {lrComaPre,   lrPlay,      lrComaNext, lrStop,
                                                         lrSpeedDown, lrSpeedNone, lrSpeedUp,  lrZoom1,
                                                         lrZoom2,     lrZoom3,     lrZoom4,    lrZoom0};
// The thumb pictures of the seek and volume bars.
inline constexpr TSkinSize SkinTrackThumbSize = {12, 30};
inline constexpr TSkinSize SkinVolumeThumbSize = {43, 60};
