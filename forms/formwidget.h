#pragma once

#include "forms/surface.h"

namespace forms {

class TForm;

// The top-level window of a form: closing it asks the form what to do.
class FormWidget final : public Surface {
public:
    explicit FormWidget(TForm* form);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    TForm* form_;
};

} // namespace forms
