// A single-line text box on screen, bound to its TextBox model.
#pragma once

#include <QLineEdit>

namespace dyadix {

class TextBox;

// A single-line text box on screen, showing a TextBox's text and colours.
class TextBoxWidget final : public QLineEdit
{
    Q_OBJECT
public:
    TextBoxWidget(TextBox &model, bool editable, QWidget *parent);

protected:
    bool event(QEvent *event) override;

private:
    void follow();
    void showModel();
    TextBox &m_model;
    // A status line can change once per line ticked; it shows the last text once the window
    // next processes its events rather than laying out every one.
    bool m_showPending = false;
};

} // namespace dyadix
