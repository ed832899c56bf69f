#include "codec/FfdshowSettings.h"

#include <iterator>

namespace codec {

namespace {

constexpr Setting Dword(const char16_t* name, std::int32_t number) {
    return {name, SettingType::Dword, number, nullptr, false};
}
constexpr Setting String(const char16_t* name, const char16_t* text) {
    return {name, SettingType::String, 0, text, false};
}
constexpr Setting DecoderFolder(const char16_t* name) { return {name, SettingType::String, 0, nullptr, true}; }
constexpr Setting ZeroBytes(const char16_t* name, std::int32_t count) {
    return {name, SettingType::Binary, count, nullptr, false};
}

template <std::size_t N>
constexpr std::size_t Count(const Setting (&rows)[N], SettingType type) {
    std::size_t n = 0;
    for (const Setting& s : rows)
        if (s.type == type) ++n;
    return n;
}

// machine hive "\SOFTWARE\GNU\ffdshow"
constexpr Setting kMachineFfdshow[] = {
    Dword(u"8bps", 0), Dword(u"aasc", 0), Dword(u"asv1", 0), Dword(u"cram", 0), Dword(u"cscd", 0),
    Dword(u"cvid", 0), Dword(u"cyuv", 0), Dword(u"div3", 0), Dword(u"duck", 0), Dword(u"dvsd", 0),
    Dword(u"dx50", 0), Dword(u"flv1", 0), Dword(u"fps1", 0), Dword(u"h261", 0), Dword(u"h263", 0),
    Dword(u"hfyu", 0), Dword(u"iv32", 0), Dword(u"loco", 0), Dword(u"mjpg", 0), Dword(u"mp41", 0),
    Dword(u"mp42", 0), Dword(u"mp43", 0), Dword(u"mp4v", 0), Dword(u"mpegAVI", 0), Dword(u"mpg1", 0),
    Dword(u"mpg2", 0), Dword(u"mss1", 0), Dword(u"mss2", 0), Dword(u"mszh", 0), Dword(u"png1", 0),
    Dword(u"qpeg", 0), Dword(u"qtrle", 0), Dword(u"qtrpza", 0), Dword(u"rawv", 0), Dword(u"rle", 0),
    Dword(u"rt21", 0), Dword(u"svq1", 0), Dword(u"svq3", 0), Dword(u"theo", 0), Dword(u"tscc", 0),
    Dword(u"ulti", 0), Dword(u"vcr1", 0), Dword(u"vixl", 0), Dword(u"vp3", 0), Dword(u"vp5", 0),
    Dword(u"vp6", 0), Dword(u"vp6f", 0), Dword(u"wmv1", 0), Dword(u"wmv2", 0), Dword(u"wmv3", 0),
    Dword(u"wnv1", 0), Dword(u"wvc1", 0), Dword(u"wmvp", 0), Dword(u"wvp2", 0), Dword(u"xvid", 0),
    Dword(u"zlib", 0), Dword(u"zmbv", 0), Dword(u"ffv1", 1), Dword(u"fvfw", 1), Dword(u"h264", 1),
    Dword(u"raw_rawv", 1), Dword(u"revision", 2528), Dword(u"builddate", 20081219), DecoderFolder(u"pth"),
    String(u"lang", u"1041"),
};
static_assert(std::size(kMachineFfdshow) == 65 && Count(kMachineFfdshow, SettingType::Dword) == 63 &&
              Count(kMachineFfdshow, SettingType::String) == 2 && Count(kMachineFfdshow, SettingType::Binary) == 0);

// machine hive "\SOFTWARE\GNU\ffdshow_audio"
constexpr Setting kMachineFfdshowAudio[] = {
    Dword(u"ac3", 0), Dword(u"amr", 0), Dword(u"dts", 0), Dword(u"eac3", 0), Dword(u"flac", 0),
    Dword(u"mace", 0), Dword(u"mlp", 0), Dword(u"mp2", 0), Dword(u"mp3", 0), Dword(u"qdm2", 0),
    Dword(u"rawa", 0), Dword(u"tta", 0), Dword(u"vorbis", 0), Dword(u"truespeech", 0), Dword(u"isSpkCfg", 1),
    Dword(u"aac", 1), Dword(u"lpcm", 1), Dword(u"gsm", 1), Dword(u"iadpcm", 1), Dword(u"law", 1),
    Dword(u"msadpcm", 1), Dword(u"otherAdpcm", 1),
};
static_assert(std::size(kMachineFfdshowAudio) == 22 && Count(kMachineFfdshowAudio, SettingType::Dword) == 22 &&
              Count(kMachineFfdshowAudio, SettingType::String) == 0 && Count(kMachineFfdshowAudio, SettingType::Binary) == 0);

// machine hive "\SOFTWARE\GNU\ffdshow_vfw"
constexpr Setting kMachineFfdshowVfw[] = {
    Dword(u"mp41", 0), Dword(u"mp42", 0), Dword(u"mp43", 0), Dword(u"mp4v", 0), Dword(u"xvid", 0),
    Dword(u"div3", 1), Dword(u"dx50", 1), Dword(u"ffv1", 1), Dword(u"fvfw", 1), Dword(u"h264", 1),
};
static_assert(std::size(kMachineFfdshowVfw) == 10 && Count(kMachineFfdshowVfw, SettingType::Dword) == 10 &&
              Count(kMachineFfdshowVfw, SettingType::String) == 0 && Count(kMachineFfdshowVfw, SettingType::Binary) == 0);

// user hive "\SOFTWARE\GNU\ffdshow"
constexpr Setting kUserFfdshow[] = {
    Dword(u"isWhitelist", 0), Dword(u"8bps", 0), Dword(u"aasc", 0), Dword(u"asv1", 0), Dword(u"cram", 0),
    Dword(u"cscd", 0), Dword(u"cvid", 0), Dword(u"cyuv", 0), Dword(u"div3", 0), Dword(u"duck", 0),
    Dword(u"dvsd", 0), Dword(u"dx50", 0), Dword(u"flv1", 0), Dword(u"fps1", 0), Dword(u"h261", 0),
    Dword(u"h263", 0), Dword(u"hfyu", 0), Dword(u"iv32", 0), Dword(u"loco", 0), Dword(u"mjpg", 0),
    Dword(u"mp41", 0), Dword(u"mp42", 0), Dword(u"mp43", 0), Dword(u"mp4v", 0), Dword(u"mpegAVI", 0),
    Dword(u"mpg1", 0), Dword(u"mpg2", 0), Dword(u"mss1", 0), Dword(u"mss2", 0), Dword(u"mszh", 0),
    Dword(u"png1", 0), Dword(u"qpeg", 0), Dword(u"qtrle", 0), Dword(u"qtrpza", 0), Dword(u"rawv", 0),
    Dword(u"rle", 0), Dword(u"rt21", 0), Dword(u"svq1", 0), Dword(u"svq3", 0), Dword(u"theo", 0),
    Dword(u"tscc", 0), Dword(u"ulti", 0), Dword(u"vcr1", 0), Dword(u"vixl", 0), Dword(u"vp3", 0),
    Dword(u"vp5", 0), Dword(u"vp6", 0), Dword(u"vp6f", 0), Dword(u"wmv1", 0), Dword(u"wmv2", 0),
    Dword(u"wmv3", 0), Dword(u"wnv1", 0), Dword(u"wvc1", 0), Dword(u"wmvp", 0), Dword(u"wvp2", 0),
    Dword(u"xvid", 0), Dword(u"zlib", 0), Dword(u"zmbv", 0), Dword(u"h264", 1), Dword(u"raw_rawv", 1),
    Dword(u"fastH264", 1), Dword(u"subTextpin", 1), Dword(u"subTextpinSSA", 1), Dword(u"isBlacklist", 1),
    Dword(u"ffv1", 1), Dword(u"fvfw", 1), String(u"lang", u"JA"),
};
static_assert(std::size(kUserFfdshow) == 67 && Count(kUserFfdshow, SettingType::Dword) == 66 &&
              Count(kUserFfdshow, SettingType::String) == 1 && Count(kUserFfdshow, SettingType::Binary) == 0);

// user hive "\SOFTWARE\GNU\ffdshow\default"
constexpr Setting kUserFfdshowDefault[] = {
    Dword(u"postprocH264mode", 0), Dword(u"subIsExpand", 0), Dword(u"isSubtitles", 0),
    Dword(u"threadsnum", 0), Dword(u"resizeMethod", 9),
};
static_assert(std::size(kUserFfdshowDefault) == 5 && Count(kUserFfdshowDefault, SettingType::Dword) == 5 &&
              Count(kUserFfdshowDefault, SettingType::String) == 0 && Count(kUserFfdshowDefault, SettingType::Binary) == 0);

// user hive "\SOFTWARE\GNU\ffdshow_vfw\default"
constexpr Setting kUserFfdshowVfwDefault[] = {
    Dword(u"needOutcspsFix", 0), Dword(u"needGlobalFix", 0), Dword(u"multiThread", 0),
    Dword(u"videoDelay", 0), Dword(u"isVideoDelayEnd", 0), Dword(u"videoDelayEnd", 0),
    Dword(u"autoloadSize", 0), Dword(u"queueVMR9YV12", 0), Dword(u"autoLoadLogic", 0),
    Dword(u"bordersBrightness", 0), Dword(u"isDyInterlaced", 0), Dword(u"dyInterlaced", 0),
    Dword(u"grayscale", 0), Dword(u"useQueueOnlyInList", 0), Dword(u"isCropNzoom", 0), Dword(u"isZoom", 0),
    Dword(u"magnificationX", 0), Dword(u"cropLeft", 0), Dword(u"cropRight", 0), Dword(u"cropTop", 0),
    Dword(u"cropBottom", 0), Dword(u"magnificationY", 0), Dword(u"panscanZoom", 0), Dword(u"panscanX", 0),
    Dword(u"panscanY", 0), Dword(u"deinterlaceAlways", 0), Dword(u"yadifMode", 0), Dword(u"isDeinterlace", 0),
    Dword(u"fullDeinterlace", 0), Dword(u"swapFields", 0), Dword(u"tomocompVF", 0),
    Dword(u"kernelDeintSharp", 0), Dword(u"kernelDeintTwoway", 0), Dword(u"kernelDeintMap", 0),
    Dword(u"orderDeinterlace", 0), Dword(u"dgbobAP", 0), Dword(u"dscalerDIcfg", 0), Dword(u"isLogoaway", 0),
    Dword(u"fullLogoaway", 0), Dword(u"logoawayLumaOnly", 0), Dword(u"autoq", 0), Dword(u"ppIsCustom", 0),
    Dword(u"ppcustom", 0), Dword(u"isPostproc", 0), Dword(u"levelFixLum", 0), Dword(u"fullPostproc", 0),
    Dword(u"fullYrange", 0), Dword(u"postprocMethod", 0), Dword(u"postprocMethodNicFirst", 0),
    Dword(u"postprocSPPmode", 0), Dword(u"halfPostproc", 0), Dword(u"deblockMplayerAccurate", 0),
    Dword(u"lumOffset", 0), Dword(u"hue", 0), Dword(u"isPictProp", 0), Dword(u"fullPictProp", 0),
    Dword(u"halfPictProp", 0), Dword(u"colorizeStrength", 0), Dword(u"pictProcLevelFix", 0),
    Dword(u"pictProcLevelFixFull", 0), Dword(u"scanlineEffect", 0), Dword(u"isGradFun", 0),
    Dword(u"halfGradFun", 0), Dword(u"isLevels", 0), Dword(u"fullLevels", 0), Dword(u"levelsInMin", 0),
    Dword(u"levelsPoint0x", 0), Dword(u"levelsPoint0y", 0), Dword(u"levelsPoint2x", 0),
    Dword(u"levelsPoint2y", 0), Dword(u"levelsPoint3x", 0), Dword(u"levelsPoint3y", 0),
    Dword(u"levelsPoint4x", 0), Dword(u"levelsPoint4y", 0), Dword(u"levelsPoint5x", 0),
    Dword(u"levelsPoint5y", 0), Dword(u"levelsPoint6x", 0), Dword(u"levelsPoint6y", 0),
    Dword(u"levelsPoint7x", 0), Dword(u"levelsPoint7y", 0), Dword(u"levelsPoint8x", 0),
    Dword(u"levelsPoint8y", 0), Dword(u"levelsPoint9x", 0), Dword(u"levelsPoint9y", 0),
    Dword(u"levelsOutMin", 0), Dword(u"levelsOnlyLuma", 0), Dword(u"levelsFullY", 0), Dword(u"halfLevels", 0),
    Dword(u"levelsMode", 0), Dword(u"levelsInAuto", 0), Dword(u"isOffset", 0), Dword(u"offsetY_X", 0),
    Dword(u"offsetY_Y", 0), Dword(u"offsetU_X", 0), Dword(u"offsetU_Y", 0), Dword(u"offsetV_X", 0),
    Dword(u"offsetV_Y", 0), Dword(u"fullOffset", 0), Dword(u"halfOffset", 0), Dword(u"transfFlip", 0),
    Dword(u"transMirror", 0), Dword(u"isBlur", 0), Dword(u"tempSmooth", 0), Dword(u"fullBlur", 0),
    Dword(u"blurIsSmoothChroma", 0), Dword(u"smoothStrengthChroma", 0), Dword(u"blurIsSoften", 0),
    Dword(u"blurIsTempSmooth", 0), Dword(u"blurIsSmoothLuma", 0), Dword(u"blurIsMplayerTNR", 0),
    Dword(u"blurIsMplayerBLur", 0), Dword(u"isDenoise3d", 0), Dword(u"denoise3Dhq", 0), Dword(u"halfBlur", 0),
    Dword(u"xsharpen", 0), Dword(u"unsharp_threshold", 0), Dword(u"sharpenMethod", 0),
    Dword(u"fullSharpen", 0), Dword(u"msharpHQ", 0), Dword(u"msharpMask", 0), Dword(u"asharpB", 0),
    Dword(u"asharpHQBF", 0), Dword(u"halfSharpen", 0), Dword(u"isWarpsharp", 0), Dword(u"fullWarpsharp", 0),
    Dword(u"warpsharpMethod", 0), Dword(u"awarpsharpCM", 0), Dword(u"halfWarpsharp", 0),
    Dword(u"isDScaler", 0), Dword(u"fullDScaler", 0), Dword(u"halfDScaler", 0), Dword(u"isNoise", 0),
    Dword(u"fullNoise", 0), Dword(u"noiseAveraged", 0), Dword(u"halfNoise", 0), Dword(u"noiseFlickerA", 0),
    Dword(u"noiseShakeA", 0), Dword(u"noiseLinesF", 0), Dword(u"noiseScratchesF", 0), Dword(u"isResize", 0),
    Dword(u"resizeIsDy0", 0), Dword(u"resizeGblurLum", 0), Dword(u"resizeGblurChrom", 0),
    Dword(u"resizeSharpenLum", 0), Dword(u"resizeSharpenChrom", 0), Dword(u"fullResize", 0),
    Dword(u"resizeBicubicParam", 0), Dword(u"resizeGaussParam", 0), Dword(u"resizeLanczosParam", 0),
    Dword(u"resizeMode", 0), Dword(u"resizeIf", 0), Dword(u"bordersX", 0), Dword(u"bordersY", 0),
    Dword(u"resizeInterlaced", 0), Dword(u"bordersUnits", 0), Dword(u"bordersPixelsX", 0),
    Dword(u"bordersPixelsY", 0), Dword(u"resizeBicubicChromaParam", 0), Dword(u"resizeGaussChromaParam", 0),
    Dword(u"resizeLanczosChromaParam", 0), Dword(u"perspectiveY2", 0), Dword(u"perspectiveX3", 0),
    Dword(u"perspectiveInterpolation", 0), Dword(u"perspectiveIsSrc", 0), Dword(u"halfPerspective", 0),
    Dword(u"isPerspective", 0), Dword(u"perspectiveX1", 0), Dword(u"perspectiveY1", 0),
    Dword(u"isAvisynth", 0), Dword(u"fullAvisynth", 0), Dword(u"avisynthApplyPulldown", 0),
    Dword(u"avisynthEnableBuffering", 0), Dword(u"isVis", 0), Dword(u"visQuants", 0), Dword(u"visGraph", 0),
    Dword(u"isDCT", 0), Dword(u"fullDCT", 0), Dword(u"dct7", 0), Dword(u"halfDCT", 0), Dword(u"dctMode", 0),
    Dword(u"isBitmap", 0), Dword(u"fullBitmap", 0), Dword(u"bitmapPosMode", 0), Dword(u"bitmapMode", 0),
    Dword(u"isSubtitles", 0), Dword(u"subDelay", 0), Dword(u"subAlign", 0), Dword(u"subStereoscopic", 0),
    Dword(u"subStereoscopicPar", 0), Dword(u"subDefLang", 0), Dword(u"subIsMinDuration", 0),
    Dword(u"subFix", 0), Dword(u"subFixLang", 0), Dword(u"subVobsubChangePosition", 0),
    Dword(u"subDefLang2", 0), Dword(u"subSplitBorder", 0), Dword(u"subWordWrap", 0),
    Dword(u"subExtendedTags", 0), Dword(u"fontSpacing", 0), Dword(u"fontAutosize", 0),
    Dword(u"fontAutosizeVideoWindow", 0), Dword(u"fontFast", 0), Dword(u"fontOutlineColor", 0),
    Dword(u"fontShadowColor", 0), Dword(u"fontOpaqueBox", 0), Dword(u"fontBlur", 0),
    Dword(u"fontOverrideScale", 0), Dword(u"isGrab", 0), Dword(u"fullGrab", 0), Dword(u"grabFormat", 0),
    Dword(u"grabFrameNum", 0), Dword(u"flip", 0), Dword(u"cspOptionsCutoffMode", 0),
    Dword(u"hwDeintFieldOrder", 0), Dword(u"cspOptionsRgbInterlaceMode", 0), Dword(u"outI420", 0),
    Dword(u"hwDeinterlace", 0), Dword(u"hwOverlayAspect", 0), Dword(u"setDeintInOutSample", 0),
    Dword(u"avisynthYV12_RGB", 0), Dword(u"outDV", 0), Dword(u"outNV12", 0), Dword(u"hwDeintMethod", 0),
    Dword(u"cspOptionsIturBt", 0), Dword(u"autoloadFlnm", 0), Dword(u"autoloadExt", 0),
    Dword(u"autoloadExe", 0), Dword(u"autoloadVolumeName", 0), Dword(u"autoloadVolumeSerial", 0),
    Dword(u"autoloadDecoder", 0), Dword(u"autoloadDSfilter", 0), Dword(u"autoloadFOURCC", 0),
    Dword(u"autoloadPreviousFOURCC", 0), Dword(u"autoloadSAR", 0), Dword(u"autoloadDAR", 0),
    Dword(u"autoloadFrameRate", 0), Dword(u"workaroundBugs2", 1), Dword(u"errorRecognition", 1),
    Dword(u"threadsnum", 1), Dword(u"dontQueueInWMP", 1), Dword(u"dropOnDelay", 1),
    Dword(u"h264skipOnDelay", 1), Dword(u"useQueueOnlyIn", 1), Dword(u"autoloadSizeCond", 1),
    Dword(u"magnificationLock", 1), Dword(u"showCropNzoom", 1), Dword(u"fullCropNzoom", 1),
    Dword(u"showDeinterlace", 1), Dword(u"dgbobMode", 1), Dword(u"showLogoaway", 1),
    Dword(u"orderLogoaway", 1), Dword(u"logoawayBlur", 1), Dword(u"logoawayBordn_mode", 1),
    Dword(u"logoawayBorde_mode", 1), Dword(u"logoawayBords_mode", 1), Dword(u"logoawayBordw_mode", 1),
    Dword(u"showPostproc", 1), Dword(u"showPictProp", 1), Dword(u"colorizeChromaonly", 1),
    Dword(u"showGradFun", 1), Dword(u"fullGradFun", 1), Dword(u"showLevels", 1), Dword(u"showOffset", 1),
    Dword(u"tempSmoothColor", 1), Dword(u"blurIsGradual", 1), Dword(u"showBlur", 1), Dword(u"showSharpen", 1),
    Dword(u"showWarpsharp", 1), Dword(u"showDScaler", 1), Dword(u"uniformNoise", 1),
    Dword(u"noisePattern", 1), Dword(u"showNoise", 1), Dword(u"resizeSARinternally", 1),
    Dword(u"resizeOutDeviceA1", 1), Dword(u"resizeOutDeviceA2", 1), Dword(u"resizeAscpect", 1),
    Dword(u"resizeAccurateRounding", 1), Dword(u"resizeIfXcond", 1), Dword(u"resizeIfYcond", 1),
    Dword(u"resizeIfXYcond", 1), Dword(u"resizeIfPixCond", 1), Dword(u"bordersLocked", 1),
    Dword(u"showResize", 1), Dword(u"bordersInside", 1), Dword(u"resizeMethodsLocked", 1),
    Dword(u"showPerspective", 1), Dword(u"fullPerspective", 1), Dword(u"avisynthInYV12", 1),
    Dword(u"avisynthInYUY2", 1), Dword(u"avisynthInRGB24", 1), Dword(u"avisynthInRGB32", 1),
    Dword(u"avisynthFfdshowSource", 1), Dword(u"showAvisynth", 1), Dword(u"visMV", 1), Dword(u"showVis", 1),
    Dword(u"showDCT", 1), Dword(u"showBitmap", 1), Dword(u"subAutoFlnm", 1), Dword(u"fullSubtitles", 1),
    Dword(u"subExpand", 1), Dword(u"showSubtitles", 1), Dword(u"subVobsub", 1), Dword(u"subTimeOverlap", 1),
    Dword(u"subMinDurationType", 1), Dword(u"subIsExpand", 1), Dword(u"subCC", 1), Dword(u"fontCharset", 1),
    Dword(u"fontSplitting", 1), Dword(u"fontShadowMode", 1), Dword(u"fontAspectAuto", 1),
    Dword(u"grabMode", 1), Dword(u"showGrab", 1), Dword(u"grabStep", 1),
    Dword(u"cspOptionsInterlockChroma", 1), Dword(u"outYV12", 1), Dword(u"outYUY2", 1), Dword(u"outYVYU", 1),
    Dword(u"outUYVY", 1), Dword(u"outRGB32", 1), Dword(u"outRGB24", 1), Dword(u"outRGB555", 1),
    Dword(u"outRGB565", 1), Dword(u"outChangeCompatOnly", 1), Dword(u"outClosest", 1),
    Dword(u"autoloadExtsNeedFix", 1), Dword(u"errorConcealment", 3), Dword(u"dropDelayTime", 1500),
    Dword(u"h264skipDelayTime", 350), Dword(u"queueCount", 10), Dword(u"autoloadSizeXmin", 16),
    Dword(u"autoloadSizeXmax", 2048), Dword(u"autoloadSizeYmin", 16), Dword(u"autoloadSizeYmax", 2048),
    Dword(u"idct", 288), Dword(u"cropTolerance", 40), Dword(u"cropRefreshDelay", 5000),
    Dword(u"cropStopScan", 100000), Dword(u"orderCropNzoom", -1), Dword(u"yadifParity", -1),
    Dword(u"deinterlaceMethod", 2), Dword(u"tomocompSE", 3), Dword(u"frameRateDoublerThreshold", 255),
    Dword(u"frameRateDoublerSE", 3), Dword(u"kernelDeintThreshold", 10), Dword(u"dgbobThreshold", 12),
    Dword(u"logoawayX", 100), Dword(u"logoawayY", 10), Dword(u"logoawayDx", 16), Dword(u"logoawayDy", 16),
    Dword(u"logoawayMode", 2), Dword(u"logoawayPointnw", 6), Dword(u"logoawayPointne", 6),
    Dword(u"logoawayPointsw", 7), Dword(u"logoawayPointse", 8), Dword(u"logoawayVhweight", 5),
    Dword(u"logoawaySolidcolor", 16777215), Dword(u"ppqual", 6), Dword(u"orderPostproc", 2),
    Dword(u"deblockStrength", 256), Dword(u"postprocNicXthresh", 20), Dword(u"postprocNicYthresh", 40),
    Dword(u"lumGain", 128), Dword(u"saturation", 64), Dword(u"gammaCorrection", 100),
    Dword(u"orderPictProp", 3), Dword(u"gammaCorrectionR", 100), Dword(u"gammaCorrectionG", 100),
    Dword(u"gammaCorrectionB", 100), Dword(u"colorizeColor", 16777215), Dword(u"orderGradFun", 4),
    Dword(u"gradFunThreshold", 120), Dword(u"orderLevels", 5), Dword(u"levelsGamma", 100),
    Dword(u"levelsInMax", 255), Dword(u"levelsPoint1x", 255), Dword(u"levelsPoint1y", 255),
    Dword(u"levelsOutMax", 255), Dword(u"levelsPosterize", 255), Dword(u"levelsNumPoints", 2),
    Dword(u"YmaxDelta", 20), Dword(u"Ythreshold", 10), Dword(u"Ytemporal", 3), Dword(u"orderOffset", 6),
    Dword(u"blurStrength", 30), Dword(u"orderBlur", 7), Dword(u"gradualStrength", 40),
    Dword(u"mplayerTNR1", 700), Dword(u"mplayerTNR2", 1500), Dword(u"mplayerTNR3", 3000),
    Dword(u"smoothStrengthLuma", 300), Dword(u"mplayerBlurRadius", 3), Dword(u"mplayerBlurLuma", 100),
    Dword(u"mplayerBlurChroma", 150), Dword(u"denoise3Dluma", 400), Dword(u"denoise3Dchroma", 300),
    Dword(u"denoise3Dtime", 600), Dword(u"xsharp_strenght", 20), Dword(u"xsharp_threshold", 150),
    Dword(u"unsharp_strength", 40), Dword(u"orderSharpen", 8), Dword(u"msharpStrength", 100),
    Dword(u"msharpThreshold", 15), Dword(u"asharpT", 200), Dword(u"asharpD", 400),
    Dword(u"mplayerSharpLuma", 50), Dword(u"mplayerSharpChroma", 50), Dword(u"warpsharpDepth", 40),
    Dword(u"warpsharpThreshold", 128), Dword(u"orderWarpsharp", 9), Dword(u"awarpsharpDepth", 1600),
    Dword(u"awarpsharpThresh", 50), Dword(u"awarpsharpBlur", 2), Dword(u"awarpsharpBM", 2),
    Dword(u"orderDScaler", 10), Dword(u"noiseStrength", 30), Dword(u"noiseStrengthChroma", 10),
    Dword(u"noiseMethod", 2), Dword(u"orderNoise", 11), Dword(u"noiseFlickerF", 50), Dword(u"noiseShakeF", 8),
    Dword(u"noiseLinesA", 10), Dword(u"noiseLinesTransparency", 127), Dword(u"noiseScratchesA", 50),
    Dword(u"noiseScratchesTransparency", 127), Dword(u"noiseLinesC", 127), Dword(u"noiseScratchesC", 127),
    Dword(u"bordersDivX", 50), Dword(u"bordersDivY", 50), Dword(u"resizeDx", 640), Dword(u"resizeDy", 480),
    Dword(u"resizeMethod", 2), Dword(u"aspectRatio", 87162), Dword(u"orderResize", 12), Dword(u"resizeA1", 4),
    Dword(u"resizeA2", 3), Dword(u"resizeIfXval", 640), Dword(u"resizeIfYval", 480),
    Dword(u"resizeIfPixVal", 307200), Dword(u"resizeSimpleWarpXparam", 1150),
    Dword(u"resizeSimpleWarpYparam", 950), Dword(u"resizeMult1000", 2000), Dword(u"resizeMethodChroma", 2),
    Dword(u"resizeMulfOf", 16), Dword(u"perspectiveY3", 100), Dword(u"perspectiveX4", 100),
    Dword(u"perspectiveY4", 100), Dword(u"orderPerspective", 13), Dword(u"perspectiveX2", 100),
    Dword(u"orderAvisynth", 14), Dword(u"avisynthBufferAhead", 10), Dword(u"avisynthBufferBack", 10),
    Dword(u"orderShowMV", 15), Dword(u"orderDCT", 16), Dword(u"dct0", 1000), Dword(u"dct1", 1000),
    Dword(u"dct2", 1000), Dword(u"dct3", 1000), Dword(u"dct4", 1000), Dword(u"dct5", 1000),
    Dword(u"dct6", 500), Dword(u"dctQuant", 5), Dword(u"dctMatrix0", 319951120),
    Dword(u"dctMatrix1", 387323156), Dword(u"dctMatrix2", 336794129), Dword(u"dctMatrix3", 404166165),
    Dword(u"dctMatrix4", 353637138), Dword(u"dctMatrix5", 421009174), Dword(u"dctMatrix6", 370480147),
    Dword(u"dctMatrix7", 454694935), Dword(u"dctMatrix8", 387323156), Dword(u"dctMatrix9", 471538201),
    Dword(u"dctMatrix10", 404166165), Dword(u"dctMatrix11", 505158426), Dword(u"dctMatrix12", 437786390),
    Dword(u"dctMatrix13", 522066971), Dword(u"dctMatrix14", 454629399), Dword(u"dctMatrix15", 555687452),
    Dword(u"orderBitmap", 17), Dword(u"bitmapPosX", 50), Dword(u"bitmapPosY", 50), Dword(u"bitmapAlign", 2),
    Dword(u"bitmapStrength", 128), Dword(u"subPosX", 50), Dword(u"subPosY", 90), Dword(u"subSpeed", 1000),
    Dword(u"orderSubtitles", 18), Dword(u"subSpeed2", 1000), Dword(u"subVobsubAA", 4),
    Dword(u"subLinespacing", 100), Dword(u"subMinDurationSubtitle", 3000), Dword(u"subMinDurationLine", 1500),
    Dword(u"subMinDurationChar", 30), Dword(u"subVobsubScale", 256), Dword(u"subVobsubAAswgauss", 700),
    Dword(u"subOpacity", 256), Dword(u"fontSize", 26), Dword(u"fontWeight", 700),
    Dword(u"fontColor", 16777215), Dword(u"fontSizeA", 60), Dword(u"fontXscale", 100),
    Dword(u"fontShadowSize", 8), Dword(u"fontShadowAlpha", 128), Dword(u"fontOutlineWidth", 2),
    Dword(u"fontBodyAlpha", 256), Dword(u"fontOutlineAlpha", 256), Dword(u"fontYscale", 100),
    Dword(u"orderGrab", 19), Dword(u"grabDigits", 5), Dword(u"grabFrameNum1", 100),
    Dword(u"grabFrameNum2", 110), Dword(u"grabQual", 80), Dword(u"cspOptionsBlackCutoff", 16),
    Dword(u"cspOptionsWhiteCutoff", 235), Dword(u"cspOptionsChromaCutoff", 16), Dword(u"hwOverlay", 2),
    Dword(u"setSARinOutSample", 2), Dword(u"allowOutChange", 2), Dword(u"outDVnorm", 2),
    String(u"fontName", u"ＭＳ Ｐゴシック"), String(u"grabPath", u"c:\\"), String(u"grabPrefix", u"grab"),
    String(u"kernelDeintLinke", u""), String(u"dscalerDIflnm", u""), String(u"logoawayParambitmap", u""),
    String(u"dscalerFltflnm", u""), String(u"dscalerCfg", u""), String(u"avisynthScript", u""),
    String(u"bitmapFlnm", u""), String(u"subFlnm", u""), String(u"subFixDict", u""),
    String(u"autoloadExts", u""), String(u"autoloadExes", u""), String(u"autoloadVolumeNames", u""),
    String(u"autoloadVolumeSerials", u""), String(u"autoloadDecoders", u""),
    String(u"autoloadDSfilters", u""), String(u"autoloadFOURCCs", u""),
    String(u"autoloadPreviousFOURCCs", u""), String(u"autoloadSARs", u""), String(u"autoloadDARs", u""),
    String(u"autoloadFrameRatess", u""), ZeroBytes(u"avisynthScriptMULTI_SZ", 7),
};
static_assert(std::size(kUserFfdshowVfwDefault) == 542 && Count(kUserFfdshowVfwDefault, SettingType::Dword) == 518 &&
              Count(kUserFfdshowVfwDefault, SettingType::String) == 23 && Count(kUserFfdshowVfwDefault, SettingType::Binary) == 1);

// user hive "\SOFTWARE\GNU\ffdshow_audio"
constexpr Setting kUserFfdshowAudio[] = {
    Dword(u"isWhitelist", 0), Dword(u"aac", 0), Dword(u"ac3", 0), Dword(u"amr", 0), Dword(u"dts", 0),
    Dword(u"eac3", 0), Dword(u"flac", 0), Dword(u"lpcm", 0), Dword(u"mace", 0), Dword(u"mlp", 0),
    Dword(u"mp2", 0), Dword(u"mp3", 0), Dword(u"qdm2", 0), Dword(u"rawa", 0), Dword(u"tta", 0),
    Dword(u"vorbis", 0), Dword(u"lvCodecSelected", 0), Dword(u"lvConvolverSelected", 0),
    Dword(u"dlgDecCCurrentPage", 0), Dword(u"dlgVolulumeDb", 0), Dword(u"translateMode", 0),
    Dword(u"isBlacklist", 1), Dword(u"gsm", 1), Dword(u"iadpcm", 1), Dword(u"law", 1), Dword(u"msadpcm", 1),
    Dword(u"otherAdpcm", 1), Dword(u"truespeech", 1), Dword(u"dlgRestorePos", 1), Dword(u"showHints", 1),
    Dword(u"lastPage", 115), Dword(u"dlgPosX", 639), Dword(u"dlgPosY", 441), Dword(u"lvWidth0", 300),
    Dword(u"lvKeysWidth0", 240), Dword(u"lvKeysWidth1", 90), Dword(u"lvCodecWidth0", 100),
    Dword(u"lvCodecWidth1", 100), Dword(u"lvCodecWidth2", 168), Dword(u"lvConvolverWidth0", 70),
    Dword(u"lvConvolverWidth1", 200), Dword(u"lvConvolverWidth2", 300),
};
static_assert(std::size(kUserFfdshowAudio) == 42 && Count(kUserFfdshowAudio, SettingType::Dword) == 42 &&
              Count(kUserFfdshowAudio, SettingType::String) == 0 && Count(kUserFfdshowAudio, SettingType::Binary) == 0);

// user hive "\SOFTWARE\GNU\ffdshow_audio\default"
constexpr Setting kUserFfdshowAudioDefault[] = {
    Dword(u"mixerNormalizeMatrix", 0), Dword(u"passthroughAC3", 0), Dword(u"passthroughDTS", 0),
    Dword(u"decoderDRC", 0), Dword(u"volNormalize", 1), Dword(u"ismixer", 1), Dword(u"mixerOut", 1),
};
static_assert(std::size(kUserFfdshowAudioDefault) == 7 && Count(kUserFfdshowAudioDefault, SettingType::Dword) == 7 &&
              Count(kUserFfdshowAudioDefault, SettingType::String) == 0 && Count(kUserFfdshowAudioDefault, SettingType::Binary) == 0);

// "\Software\GNU\ffdshow_audio\default", in the order of writing
constexpr Setting kAudioDefaults[] = {
    Dword(u"isVolume", 1), Dword(u"orderVolume", 1), Dword(u"volume", 200), Dword(u"showVolume", 1),
    Dword(u"volNormalizeMax", 400), Dword(u"volumeL", 100), Dword(u"volumeC", 100), Dword(u"volumeR", 100),
    Dword(u"volumeSL", 100), Dword(u"volumeSR", 100), Dword(u"volumeLFE", 100), Dword(u"volumeLmute", 0),
    Dword(u"volumeCmute", 0), Dword(u"volumeRmute", 0), Dword(u"volumeSLmute", 0), Dword(u"volumeSRmute", 0),
    Dword(u"volumeLFEmute", 0), Dword(u"volNormalizeResetOnSeek", 0), Dword(u"volumeAL", 100),
    Dword(u"volumeAR", 100), Dword(u"volumeALmute", 0), Dword(u"volumeARmute", 0),
    Dword(u"volNormalizeRegainVolume", 0), Dword(u"mixerNormalizeMatrix", 0), Dword(u"volNormalize", 1),
    Dword(u"ismixer", 1), Dword(u"mixerOut", 1), Dword(u"passthroughAC3", 0), Dword(u"passthroughDTS", 0),
    Dword(u"decoderDRC", 0),
};
static_assert(std::size(kAudioDefaults) == 30);
constexpr SettingsKey kKeys[] = {
    {SettingsHive::Machine, u"\\SOFTWARE\\GNU\\ffdshow", kMachineFfdshow},
    {SettingsHive::Machine, u"\\SOFTWARE\\GNU\\ffdshow_audio", kMachineFfdshowAudio},
    {SettingsHive::Machine, u"\\SOFTWARE\\GNU\\ffdshow_vfw", kMachineFfdshowVfw},
    {SettingsHive::User, u"\\SOFTWARE\\GNU\\ffdshow", kUserFfdshow},
    {SettingsHive::User, u"\\SOFTWARE\\GNU\\ffdshow\\default", kUserFfdshowDefault},
    {SettingsHive::User, u"\\SOFTWARE\\GNU\\ffdshow_audio", kUserFfdshowAudio},
    {SettingsHive::User, u"\\SOFTWARE\\GNU\\ffdshow_audio\\default", kUserFfdshowAudioDefault},
    {SettingsHive::User, u"\\SOFTWARE\\GNU\\ffdshow_vfw\\default", kUserFfdshowVfwDefault},
};

constexpr std::size_t TotalValues() {
    std::size_t n = 0;
    for (const SettingsKey& k : kKeys) n += k.values.size();
    return n;
}
static_assert(TotalValues() == kInstallationValueCount);

} // namespace

std::span<const SettingsKey> InstallationKeys() { return kKeys; }

std::span<const Setting> AudioDefaults() { return kAudioDefaults; }

} // namespace codec
