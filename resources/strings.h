// The interface string table: every visible text, looked up by numeric id (UTF-8).
#pragma once

#include <string_view>

namespace vorticel {

// Ids with a meaning in code; the table itself lists every text.
enum StringId : int {
    kStrFamilyFirst = 1000, // family names at 1000 + 2 * family index
    kStrDegree = 1500,
    kStrRendererFirst = 2000, // renderer names at 2000 + renderer kind
    kStrLuminosity = 2050,
    kStrGamma = 2051,
    kStrRoughness = 2052,
    kStrOpacity = 2053,
    kStrStateSuffixFirst = 2100, // view-state suffixes at 2100 + state
    kStrUntitled = 2150,
    kStrRemainingTime = 2151,
    kStrTotalTime = 2152,
    kStrRate = 2153,
    kStrParameterFilter = 2154,
    kStrIterations = 2201,
    kStrWidth = 2300,
    kStrHeight = 2301,
    kStrUpdates = 2302,
    kStrScale = 2303,
    kStrCannotCreateFile = 3000, // "%s" stands for the file name
    kStrCannotOpenFile = 3001,
    kStrHeaderNamesNoFamily = 3002,
    kStrFileIsFolder = 3010, // reasons, on the line after "Impossible de ..."
    kStrFileIsDevice = 3011,
    kStrFileIsFifo = 3012,
    kStrFileNotRegular = 3013,
    kStrFileReadOnly = 3014,
    kStrFileTooLarge = 3015,
    kStrFileLineTooLong = 3016,
    kStrFileNoParameters = 3017,
    kStrFileNotPng = 3018,
    kStrFileNoRecipe = 3019,
    kStrFileBadRecipe = 3020,
    kStrPngFilter = 3021,
    kStrOpenFilter = 3022,
    kStrFileEncoder = 3023,
    kStrFileImageTooLarge = 3024,
    kStrFileChunkPastEnd = 3025,
    kStrFileTooManyTexts = 3026,
    kStrFileTextTooLarge = 3027,
    kStrFileRecipeTooLarge = 3028,
    kStrFileValueOutOfRange = 3030, // "%s": the line's number and text
    kStrFrameCaption = 3100,
    kStrAppTitle = 3101,
    kStrMenuFile = 3102,
    kStrNew = 3103,
    kStrOpen = 3104,
    kStrSaveAttractorAs = 3105,
    kStrSaveImageAs = 3106,
    kStrClose = 3107,
    kStrQuit = 3108,
    kStrSaveDialogTitle = 3109,
    kStrBitmapFilter = 3110,
    kStrMenuAttractor = 3120,
    kStrSearch = 3121,
    kStrStart = 3122,
    kStrStop = 3123,
    kStrMenuView = 3124,
    kStrCentre = 3125,
    kStrAdjust = 3126,
    kStrAutoAdjust = 3127,
    kStrOverview = 3128,
    kStrNewDialogTitle = 3140,
    kStrGroupAttractor = 3141,
    kStrTypeLabel = 3142,
    kStrGroupImage = 3143,
    kStrWidthLabel = 3144,
    kStrHeightLabel = 3145,
    kStrRenderLabel = 3146,
    kStrOk = 3147,
    kStrCancel = 3148,
    kStrNotAnInteger = 3149, // "%s" stands for the typed text
    kStrWidthTooSmall = 3150,
    kStrHeightTooSmall = 3151,
    kStrImageTooLarge = 3152,
    kStrRunButton = 3153,
    kStrScanProgress = 3154, // trial, trials, accepted
    kStrScanFinished = 3155, // trial, trials, accepted, seconds
    kStrAttractorPaletteCaption = 3156,
    kStrRenderPaletteCaption = 3157,
    kStrPaletteTypeLabel = 3158,
    kStrPaletteRenderLabel = 3159,
    kStrGlErrorCaption = 3160,
    kStrGlInvalidEnum = 3161,
    kStrGlInvalidValue = 3162,
    kStrGlStackOverflow = 3163,
    kStrGlStackUnderflow = 3164,
    kStrGlOutOfMemory = 3165,
    kStrGlNoPixelFormat = 3166,
    kStrGlSetPixelFormat = 3167,
    kStrGlCreateContext = 3168,
    kStrGlLinkContext = 3169,
    kStrGlUnlinkContext = 3170,
    kStrGlDeleteContext = 3171,
    kStrMenuEdit = 3200,
    kStrUndo = 3201,
    kStrRedo = 3202,
    kStrEditRotation = 3203, // names of edits, after "Annuler : "
    kStrEditPan = 3204,
    kStrEditZoom = 3205,
    kStrEditSearch = 3206,
    kStrEditOpen = 3207,
    kStrEditFamily = 3208,
    kStrEditRenderer = 3209,
    kStrRecentFiles = 3220,
    kStrExamples = 3221,
    kStrUnsavedQuestion = 3240,
    kStrUnsavedImage = 3241, // "%s" stands for the view's title
    kStrUnsavedParameters = 3242,
    kStrUnsavedBoth = 3243,
    kStrCloseRefusedRender = 3244,
    kStrCloseRefusedSearch = 3245,
    kStrSuffixDiverged = 3246, // the caption's suffix of an image whose orbit diverged
    kStrDivergedAt = 3247,     // iteration, percent of the target
    kStrExampleFirst = 3260,   // the examples' proper names, in the order of their files
    kStrPoster = 3300,         // the poster: render a view's recipe at any size straight to a file
    kStrPosterTitle = 3301,
    kStrPosterSize = 3302,
    kStrKeepProportions = 3303,
    kStrRenderEllipsis = 3304,
    kStrPosterSaved = 3305, // "%s" stands for the file name
    kStrPosterStopped = 3306,
    kStrPosterDiverged = 3307,
    kStrNotEnoughMemory = 3308, // "%s": what the renderer says
    kStrPng16Filter = 3309,
    kStrPosterStrips = 3310, // strips, threads
    kStrPosterNoView = 3311,
    kStrCloseRefusedJob = 3312,
    kStrPosterPixels = 3313, // megapixels
    kStrIterationsLabel = 3314,
    kStrAnimation = 3340, // the animation window
    kStrAnimationTitle = 3341,
    kStrKeys = 3342,
    kStrAddKey = 3343,
    kStrRemoveKey = 3344,
    kStrKeyUp = 3345,
    kStrKeyDown = 3346,
    kStrFramesLabel = 3347,
    kStrTurnLabel = 3348,
    kStrFpsLabel = 3349,
    kStrFrameOf = 3350, // frame, frames
    kStrVideoBox = 3351,
    kStrNoVideoEncoder = 3352,
    kStrAnimationFilter = 3353,
    kStrFramesFolder = 3354,
    kStrEditAddKey = 3355,
    kStrEditRemoveKey = 3356,
    kStrEditMoveKey = 3357,
    kStrFramesWritten = 3359, // written, skipped, failed
    kStrVideoWritten = 3360,  // "%s": the video's file name
    kStrFrameFailed = 3361,   // frame, reason
    kStrSaveAnimationAs = 3362,
    kStrAnimationInvalid = 3363, // "%s": why
    kStrAnimationSettings = 3364,
    kStrAnimationPreview = 3365,
    kStrAnimationStopped = 3366,
    kStrVideoFailed = 3367, // "%s": why
    kStrNoKeys = 3368,
    kStrAnimationFile = 3369, // "%s": the file's name
    kStrCannotReadAnimation = 3370,
    kStrAnimationIterations = 3371,
    kStrOneKeyNoTurn = 3372,
    kStrKeyUnlike = 3373, // "%s": the key's name // "%s": the file's name
};

// The text of `id`; empty for an id the table does not hold.
std::string_view LoadStr(int id);

inline std::string_view FamilyName(int familyIndex) {
    return LoadStr(kStrFamilyFirst + 2 * familyIndex);
}

} // namespace vorticel
