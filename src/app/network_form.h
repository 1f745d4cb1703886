#pragma once

#include <QObject>

namespace app {

class DataLocation;

// The data-location form F_network. It is created at start and never shown: only its change
// procedure is used, by the main window's "Change_Data_Network_Path" command and by the matter
// selection's "Change Data Path" button.
class TF_network : public QObject {
    Q_OBJECT
  public:
    // `location` must outlive the form.
    explicit TF_network(DataLocation& location, QObject* parent = nullptr);

    // The change procedure: shows the directory chooser at the stored directory; on a choice
    // writes it (with its trailing separator) to the settings file and makes it the data
    // directory. Returns true when the directory changed; false when the user cancelled (nothing
    // changes, nothing is shown) or the settings file could not be written (reported).
    bool BitBtn1Click();

  private:
    DataLocation& location_;
};

}  // namespace app
