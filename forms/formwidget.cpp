#include "forms/formwidget.h"

#include "forms/form.h"

#include <QCloseEvent>
#include <QResizeEvent>
#include <QShowEvent>

namespace forms {

FormWidget::FormWidget(TForm* form)
    : Surface(form)
    , form_(form)
{}

void FormWidget::closeEvent(QCloseEvent* event)
{
    // The form decides: hiding or ending the program happens through it, never behind its back.
    event->ignore();
    form_->close();
}

void FormWidget::showEvent(QShowEvent* event)
{
    Surface::showEvent(event);
    if (!event->spontaneous())
        form_->shown();
}

void FormWidget::resizeEvent(QResizeEvent* event)
{
    Surface::resizeEvent(event);
    form_->clientResized(event->size());
}

} // namespace forms
