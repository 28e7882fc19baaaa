#pragma once

#include <QWidget>

// A page of the Options sheet. The sheet opens a page when it is first shown,
// asks it whether it may be left on a switch of pages and on OK, and tells every
// page that was opened to apply when the sheet closes with OK.
class COptPage : public QWidget {
public:
    using QWidget::QWidget;

    // Fills the controls from the values the page edits.
    virtual void Open() = 0;
    // Takes the controls' values; false, after telling the user why and placing
    // the focus, when the page must stay.
    virtual bool Leave() = 0;
    // The sheet closes with OK.
    virtual void Apply() {}
};
