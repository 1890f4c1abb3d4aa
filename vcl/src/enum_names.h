// The names by which form descriptions spell the library's enumeration values, colours,
// character sets and cursors.
#pragma once

#include <strings.h>

#include <string>
#include <utility>
#include <vector>

#include "vcl/buttons.h"
#include "vcl/comctrls.h"
#include "vcl/controls.h"
#include "vcl/dialogs.h"
#include "vcl/extctrls.h"
#include "vcl/forms.h"
#include "vcl/graphics.h"
#include "vcl/grids.h"
#include "vcl/menus.h"
#include "vcl/stdctrls.h"

namespace vcl::detail {

using EnumTable = std::vector<std::pair<const char*, int>>;
template <class E>
const EnumTable& Names();

#define VCL_N(x) \
  { #x, static_cast < int>(x) }
#define VCL_ENUM_NAMES(E, ...)                    \
  template <>                                     \
  inline const EnumTable& Names<E>() {            \
    static const EnumTable table = {__VA_ARGS__}; \
    return table;                                 \
  }

VCL_ENUM_NAMES(TAlign, VCL_N(alNone), VCL_N(alTop), VCL_N(alBottom), VCL_N(alLeft), VCL_N(alRight),
               VCL_N(alClient), VCL_N(alCustom))
VCL_ENUM_NAMES(TAlignment, VCL_N(taLeftJustify), VCL_N(taRightJustify), VCL_N(taCenter))
VCL_ENUM_NAMES(TTextLayout, VCL_N(tlTop), VCL_N(tlCenter), VCL_N(tlBottom))
VCL_ENUM_NAMES(TFormBorderStyle, VCL_N(bsNone), VCL_N(bsSingle), VCL_N(bsSizeable), VCL_N(bsDialog),
               VCL_N(bsToolWindow), VCL_N(bsSizeToolWin))
VCL_ENUM_NAMES(TBevelCut, VCL_N(bvNone), VCL_N(bvLowered), VCL_N(bvRaised), VCL_N(bvSpace))
VCL_ENUM_NAMES(TScrollStyle, VCL_N(ssNone), VCL_N(ssHorizontal), VCL_N(ssVertical), VCL_N(ssBoth))
VCL_ENUM_NAMES(TEditCharCase, VCL_N(ecNormal), VCL_N(ecUpperCase), VCL_N(ecLowerCase))
VCL_ENUM_NAMES(TDragMode, VCL_N(dmManual), VCL_N(dmAutomatic))
VCL_ENUM_NAMES(TDragKind, VCL_N(dkDrag), VCL_N(dkDock))
VCL_ENUM_NAMES(TAnchorKind, VCL_N(akLeft), VCL_N(akTop), VCL_N(akRight), VCL_N(akBottom))
VCL_ENUM_NAMES(TComboBoxStyle, VCL_N(csDropDown), VCL_N(csSimple), VCL_N(csDropDownList),
               VCL_N(csOwnerDrawFixed), VCL_N(csOwnerDrawVariable))
VCL_ENUM_NAMES(TCheckBoxState, VCL_N(cbUnchecked), VCL_N(cbChecked), VCL_N(cbGrayed))
VCL_ENUM_NAMES(TStaticBorderStyle, VCL_N(sbsNone), VCL_N(sbsSingle), VCL_N(sbsSunken))
VCL_ENUM_NAMES(TBevelShape, VCL_N(bsBox), VCL_N(bsFrame), VCL_N(bsTopLine), VCL_N(bsBottomLine),
               VCL_N(bsLeftLine), VCL_N(bsRightLine), VCL_N(bsSpacer))
VCL_ENUM_NAMES(TBevelStyle, VCL_N(bsLowered), VCL_N(bsRaised))
VCL_ENUM_NAMES(TTrackBarOrientation, VCL_N(trHorizontal), VCL_N(trVertical))
VCL_ENUM_NAMES(TTickStyle, VCL_N(tsNone), VCL_N(tsAuto), VCL_N(tsManual))
VCL_ENUM_NAMES(TTickMark, VCL_N(tmBottomRight), VCL_N(tmTopLeft), VCL_N(tmBoth))
VCL_ENUM_NAMES(TProgressBarOrientation, VCL_N(pbHorizontal), VCL_N(pbVertical))
VCL_ENUM_NAMES(TStatusPanelBevel, VCL_N(pbNone), VCL_N(pbLowered), VCL_N(pbRaised))
VCL_ENUM_NAMES(TStatusPanelStyle, VCL_N(psText), VCL_N(psOwnerDraw))
VCL_ENUM_NAMES(TToolButtonStyle, VCL_N(tbsButton), VCL_N(tbsCheck), VCL_N(tbsDropDown),
               VCL_N(tbsSeparator), VCL_N(tbsDivider))
VCL_ENUM_NAMES(TTabPosition, VCL_N(tpTop), VCL_N(tpBottom), VCL_N(tpLeft), VCL_N(tpRight))
VCL_ENUM_NAMES(TButtonLayout, VCL_N(blGlyphLeft), VCL_N(blGlyphRight), VCL_N(blGlyphTop),
               VCL_N(blGlyphBottom))
VCL_ENUM_NAMES(TGridOption, VCL_N(goFixedVertLine), VCL_N(goFixedHorzLine), VCL_N(goVertLine),
               VCL_N(goHorzLine), VCL_N(goRangeSelect), VCL_N(goDrawFocusSelected),
               VCL_N(goRowSizing), VCL_N(goColSizing), VCL_N(goRowMoving), VCL_N(goColMoving),
               VCL_N(goEditing), VCL_N(goTabs), VCL_N(goRowSelect), VCL_N(goAlwaysShowEditor),
               VCL_N(goThumbTracking))
VCL_ENUM_NAMES(TPosition, VCL_N(poDesigned), VCL_N(poDefault), VCL_N(poDefaultPosOnly),
               VCL_N(poDefaultSizeOnly), VCL_N(poScreenCenter), VCL_N(poDesktopCenter),
               VCL_N(poMainFormCenter), VCL_N(poOwnerFormCenter))
VCL_ENUM_NAMES(TFormStyle, VCL_N(fsNormal), VCL_N(fsMDIChild), VCL_N(fsMDIForm), VCL_N(fsStayOnTop))
VCL_ENUM_NAMES(TWindowState, VCL_N(wsNormal), VCL_N(wsMinimized), VCL_N(wsMaximized))
VCL_ENUM_NAMES(TBorderIcon, VCL_N(biSystemMenu), VCL_N(biMinimize), VCL_N(biMaximize),
               VCL_N(biHelp))
VCL_ENUM_NAMES(TFontStyle, VCL_N(fsBold), VCL_N(fsItalic), VCL_N(fsUnderline), VCL_N(fsStrikeOut))
VCL_ENUM_NAMES(TFontPitch, VCL_N(fpDefault), VCL_N(fpVariable), VCL_N(fpFixed))
VCL_ENUM_NAMES(TOpenOption, VCL_N(ofReadOnly), VCL_N(ofOverwritePrompt), VCL_N(ofHideReadOnly),
               VCL_N(ofNoChangeDir), VCL_N(ofShowHelp), VCL_N(ofNoValidate),
               VCL_N(ofAllowMultiSelect), VCL_N(ofExtensionDifferent), VCL_N(ofPathMustExist),
               VCL_N(ofFileMustExist), VCL_N(ofCreatePrompt), VCL_N(ofShareAware),
               VCL_N(ofNoReadOnlyReturn), VCL_N(ofNoTestFileCreate), VCL_N(ofNoNetworkButton),
               VCL_N(ofNoLongNames), VCL_N(ofOldStyleDialog), VCL_N(ofNoDereferenceLinks),
               VCL_N(ofEnableIncludeNotify), VCL_N(ofEnableSizing))

inline const EnumTable& ColorNames() {
  static const EnumTable table = {VCL_N(clBlack),         VCL_N(clMaroon),
                                  VCL_N(clGreen),         VCL_N(clOlive),
                                  VCL_N(clNavy),          VCL_N(clPurple),
                                  VCL_N(clTeal),          VCL_N(clGray),
                                  VCL_N(clSilver),        VCL_N(clRed),
                                  VCL_N(clLime),          VCL_N(clYellow),
                                  VCL_N(clBlue),          VCL_N(clFuchsia),
                                  VCL_N(clAqua),          VCL_N(clWhite),
                                  VCL_N(clMoneyGreen),    VCL_N(clSkyBlue),
                                  VCL_N(clCream),         VCL_N(clMedGray),
                                  VCL_N(clScrollBar),     VCL_N(clBackground),
                                  VCL_N(clActiveCaption), VCL_N(clInactiveCaption),
                                  VCL_N(clMenu),          VCL_N(clWindow),
                                  VCL_N(clWindowFrame),   VCL_N(clMenuText),
                                  VCL_N(clWindowText),    VCL_N(clCaptionText),
                                  VCL_N(clActiveBorder),  VCL_N(clInactiveBorder),
                                  VCL_N(clAppWorkSpace),  VCL_N(clHighlight),
                                  VCL_N(clHighlightText), VCL_N(clBtnFace),
                                  VCL_N(clBtnShadow),     VCL_N(clGrayText),
                                  VCL_N(clBtnText),       VCL_N(clInactiveCaptionText),
                                  VCL_N(clBtnHighlight),  VCL_N(cl3DDkShadow),
                                  VCL_N(cl3DLight),       VCL_N(clInfoText),
                                  VCL_N(clInfoBk),        VCL_N(clNone),
                                  VCL_N(clDefault)};
  return table;
}

inline const EnumTable& CharsetNames() {
  static const EnumTable table = {VCL_N(ANSI_CHARSET), VCL_N(DEFAULT_CHARSET),
                                  VCL_N(SYMBOL_CHARSET), VCL_N(RUSSIAN_CHARSET),
                                  VCL_N(OEM_CHARSET)};
  return table;
}

inline const EnumTable& CursorNames() {
  static const EnumTable table = {{"crDefault", 0},    {"crNone", -1},       {"crArrow", -2},
                                  {"crCross", -3},     {"crIBeam", -4},      {"crSizeNESW", -6},
                                  {"crSizeNS", -7},    {"crSizeNWSE", -8},   {"crSizeWE", -9},
                                  {"crUpArrow", -10},  {"crHourGlass", -11}, {"crNo", -18},
                                  {"crHandPoint", -21}};
  return table;
}

inline bool Lookup(const EnumTable& table, const std::string& name, int& out) {
  for (auto& [n, v] : table)
    if (strcasecmp(n, name.c_str()) == 0) {
      out = v;
      return true;
    }
  return false;
}

#undef VCL_ENUM_NAMES
#undef VCL_N

}  // namespace vcl::detail
