#include "beep_sink.h"

#include <QApplication>

#include "platform/gui.h"

#ifdef VCL_QT_HAVE_XCB
#include <xcb/xcb.h>

#include <QGuiApplication>
#endif

namespace vcl::qt::detail {

BeepSink::BeepSink(QObject* gui_object) {
  // The sink runs before the platform waits out the beep's duration, possibly on a worker
  // thread or with the GUI thread blocked in a handler: the X bell goes out at once on Qt's
  // own connection (xcb is thread-safe); without X the bell rings from the GUI thread.
  std::shared_ptr<std::atomic<int>> count = count_;
  QPointer<QObject> gui = gui_object;
  void* connection = nullptr;
#ifdef VCL_QT_HAVE_XCB
  if (auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>())
    connection = x11->connection();
#endif
  platform::SetBeepSink([count, gui, connection](DWORD, DWORD) {
    ++*count;
#ifdef VCL_QT_HAVE_XCB
    if (connection) {
      auto* c = static_cast<xcb_connection_t*>(connection);
      xcb_bell(c, 0);
      xcb_flush(c);
      return;
    }
#endif
    if (gui)
      QMetaObject::invokeMethod(
          gui, [] { QApplication::beep(); }, Qt::QueuedConnection);
  });
}

BeepSink::~BeepSink() {
  platform::SetBeepSink(nullptr);
}

}  // namespace vcl::qt::detail
