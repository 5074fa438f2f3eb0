#include "ui/DisplaySetup.h"

#include <QByteArray>
#include <QtGlobal>

namespace tolvo {

void PrepareDisplay() {
  if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
}

}  // namespace tolvo
