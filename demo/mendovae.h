// Mendovae on Qt: the form's controls as Qt widgets, with the form's handlers behind them.
#pragma once

#include <QWidget>

#include <array>
#include <cstddef>

#include "form.h"

namespace mendova {

class Mendovae : public QWidget, private FormFace
{
    Q_OBJECT

  public:
    // Builds the form and runs Form_Load; the form is then ready to be shown.
    explicit Mendovae(QWidget* parent = nullptr);

  private:
    template <class Widget> Widget* widget(Control control) const
    {
        return static_cast<Widget*>(controls_.at(static_cast<std::size_t>(control)));
    }

    std::string text(Control box) override;
    void setText(Control box, const std::string& text) override;
    bool isSelected(Control option) override;
    void select(Control option) override;
    int checkState(Control box) override;
    void clearPicture() override;
    HDC pictureDc() override;
    void showMessage(const std::string& prompt, const std::string& title) override;
    std::string formatNumber(double value) override;
    std::optional<double> readNumber(const std::string& text) override;
    std::string toAnsi(const std::string& text) override;
    std::string fromAnsi(const std::string& text) override;

    std::array<QWidget*, kControls.size()> controls_{};
};

} // namespace mendova
