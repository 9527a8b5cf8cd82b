#pragma once

#include <QObject>

// The enumerations the window controls publish. They live in one namespace so
// that a window layout can name their values ("alTop", "crHandPoint") through
// the meta-object system, and are brought to global scope below because the
// code of the window names them plainly.
namespace TControlTypes
{
Q_NAMESPACE

// Where a control docks inside its parent's client area.
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
Q_ENUM_NS(TAlign)

// Mouse cursors, with the classic toolkit's numbers (negative for the stock ones).
enum TCursor { crDefault = 0, crArrow = -2, crCross = -3, crIBeam = -4, crHandPoint = -21 };
Q_ENUM_NS(TCursor)

enum TTrackBarOrientation { trHorizontal, trVertical };
Q_ENUM_NS(TTrackBarOrientation)

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
Q_ENUM_NS(TBevelCut)

// Where a window is placed when it is first shown.
enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
Q_ENUM_NS(TPosition)

// Options of the file dialogs, one bit each in the classic order.
enum TOpenOption {
    ofReadOnly = 1 << 0,
    ofOverwritePrompt = 1 << 1,
    ofHideReadOnly = 1 << 2,
    ofNoChangeDir = 1 << 3,
    ofShowHelp = 1 << 4,
    ofNoValidate = 1 << 5,
    ofAllowMultiSelect = 1 << 6,
    ofExtensionDifferent = 1 << 7,
    ofPathMustExist = 1 << 8,
    ofFileMustExist = 1 << 9,
    ofCreatePrompt = 1 << 10,
    ofShareAware = 1 << 11,
    ofNoReadOnlyReturn = 1 << 12,
    ofNoTestFileCreate = 1 << 13,
    ofNoNetworkButton = 1 << 14,
    ofNoLongNames = 1 << 15,
    ofOldStyleDialog = 1 << 16,
    ofNoDereferenceLinks = 1 << 17,
    ofEnableIncludeNotify = 1 << 18,
    ofEnableSizing = 1 << 19,
    ofDontAddToRecent = 1 << 20,
    ofForceShowHidden = 1 << 21
};
Q_DECLARE_FLAGS(TOpenOptions, TOpenOption)
Q_FLAG_NS(TOpenOptions)
} // namespace TControlTypes

Q_DECLARE_OPERATORS_FOR_FLAGS(TControlTypes::TOpenOptions)

using TAlign = TControlTypes::TAlign;
using TCursor = TControlTypes::TCursor;
using TTrackBarOrientation = TControlTypes::TTrackBarOrientation;
using TBevelCut = TControlTypes::TBevelCut;
using TPosition = TControlTypes::TPosition;
using TOpenOption = TControlTypes::TOpenOption;
using TOpenOptions = TControlTypes::TOpenOptions;
using enum TControlTypes::TAlign;
using enum TControlTypes::TCursor;
using enum TControlTypes::TTrackBarOrientation;
using enum TControlTypes::TBevelCut;
using enum TControlTypes::TPosition;
using enum TControlTypes::TOpenOption;
