#pragma once

#include <QDialog>

namespace app {

// The About box F_Splash: borderless, sky blue, framed by a raised bevel and centred on its owner.
// It shows the statement's name, "Version 3.0", the logo and the publisher's contact lines, and
// closes with "&Close" ("BitBtn1"). Shown modally by Help, About and released when it closes.
class TF_Splash : public QDialog {
    Q_OBJECT
  public:
    explicit TF_Splash(QWidget* owner);

  protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace app
