#include "app/network_form.h"

#include "app/data_location.h"
#include "platform/dialogs.h"

namespace app {

TF_network::TF_network(DataLocation& location, QObject* parent)
    : QObject(parent), location_(location) {
    setObjectName(QStringLiteral("F_network"));
}

bool TF_network::BitBtn1Click() {
    const auto chosen = platform::dialogs().selectDirectory(location_.storedDirectory());
    if (!chosen || chosen->isEmpty()) return false;
    return location_.store(*chosen);
}

}  // namespace app
