// The drive list on screen, bound to its model, with the interface a screen reader reads it by.
#pragma once

#include <QComboBox>

namespace dyadix {

class DriveListModel;

// A drive list on screen, bound to its model: the user's choice goes to the model, the
// model's current drive shows. A screen reader hears it by its accessible name ("Left drive"),
// its drive as its value: on Linux, Qt would name a combo box after its current text, so that
// both drive lists would read alike.
class DriveListWidget final : public QComboBox
{
    Q_OBJECT
public:
    DriveListWidget(DriveListModel &model, QWidget *parent);
    // Gives drive lists their own accessible interface; once per program.
    static void installAccessibleInterface();
};

} // namespace dyadix
