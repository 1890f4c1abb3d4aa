// The form's published properties and events, for form descriptions (published.h).
#include "published.h"

namespace vcl::detail {

std::span<const ClassTable> FormsTables() {
  static const ClassTable tables[] = {
      Publish<TCustomForm>("TForm", "TWinControl", Creation::kBaseOnly)
          .prop("BorderStyle", &TCustomForm::BorderStyle)
          .prop("BorderIcons", &TCustomForm::BorderIcons)
          .prop("Position", &TCustomForm::Position)
          .prop("WindowState", &TCustomForm::WindowState)
          .prop("FormStyle", &TCustomForm::FormStyle)
          .prop("Menu", &TCustomForm::Menu)
          .sub("Icon", &TCustomForm::Icon, "TIcon")
          .prop("KeyPreview", &TCustomForm::KeyPreview)
          .prop("ActiveControl", &TCustomForm::ActiveControl)
          .event("OnCreate", &TCustomForm::OnCreate)
          .event("OnDestroy", &TCustomForm::OnDestroy)
          .event("OnShow", &TCustomForm::OnShow)
          .event("OnHide", &TCustomForm::OnHide)
          .event("OnActivate", &TCustomForm::OnActivate)
          .event("OnDeactivate", &TCustomForm::OnDeactivate)
          .event("OnResize", &TCustomForm::OnResize)
          .event("OnPaint", &TCustomForm::OnPaint)
          .event("OnClose", &TCustomForm::OnClose)
          .event("OnCloseQuery", &TCustomForm::OnCloseQuery)
          .ignore({"PixelsPerInch", "TextHeight", "OldCreateOrder", "Scaled"}),
  };
  return tables;
}

}  // namespace vcl::detail
