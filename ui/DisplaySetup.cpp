#include "ui/DisplaySetup.h"

#include <QByteArray>
#include <QtGlobal>

namespace tolvo {

void PrepareDisplay() {
  if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
  if (!qEnvironmentVariableIsSet("QT_NO_GLIB")) qputenv("QT_NO_GLIB", "1");
}

}  // namespace tolvo
