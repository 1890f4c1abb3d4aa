// Forms: a top-level window with the menu bar on top and the client area below it.
#pragma once

#include <QMenuBar>
#include <QPointer>
#include <optional>

#include "mirror.h"

namespace vcl::qt::detail {

class FormMirror;

// A form's top-level window: the user's close, resize and move go to the form.
class FormWindow : public QWidget {
 public:
  explicit FormWindow(FormMirror* mirror);
  void Detach() { mirror_ = nullptr; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  FormMirror* mirror_;
};

class FormMirror : public ControlMirror {
 public:
  FormMirror(Book& book, TCustomForm* form);
  ~FormMirror() override;

  TCustomForm* form() const { return static_cast<TCustomForm*>(component()); }
  QWidget* container() const override { return client_; }
  void ApplyAll() override;
  void Apply(Change what, int index) override;
  QString AccessibleName() const override;

  // Shows the window now (the first time: placed as Position says).
  void ShowNow();
  // The menu bar on top of the window (nullptr without a menu).
  QMenuBar* MenuBar() const { return menu_bar_; }

  // From the window.
  void CloseRequested();
  void GeometryChanged();
  bool DefaultKey(int key);

 protected:
  void ApplyText() override;
  void ApplyStyle() override;
  void ApplyVisible() override;
  void ApplyColor() override;
  void ApplyFont() override;
  void ApplyBounds() override { Layout(); }

 private:
  void Layout();
  void ApplyMenu();
  void ApplyFocus();
  void Place();
  int MenuHeight() const;

  FormWindow* window_;
  QWidget* client_;
  QPointer<QMenuBar> menu_bar_;
  bool shown_once_ = false;
  // Where the window was placed (centred) until the form has learnt it.
  std::optional<QPoint> placed_;
};

}  // namespace vcl::qt::detail
