#pragma once
// The main window's Qt controls, built from the layout table (app/
// form1_layout.h): names, places, captions, fonts, tab order and first
// contents. Layout only: nothing here knows about the port or the timers;
// the window fills Label1, Label3 and List1 and reads Check1 and Text1.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>

namespace qtui {

class List1Rows;

struct Form1Controls {
    QLabel* Label1 = nullptr;       // voltage display text
    QLabel* Label2 = nullptr;       // never shows anything
    QLabel* Label3 = nullptr;       // temperature display text
    QLabel* Label4 = nullptr;       // "Сохранить как"
    QLabel* Label5 = nullptr;       // ".txt"
    QLineEdit* Text1 = nullptr;     // base name of the log file
    QCheckBox* Check1 = nullptr;    // recording on/off
    QPushButton* Command1 = nullptr;  // "Выход"
    QListView* List1 = nullptr;     // shows `list1Rows`
    List1Rows* list1Rows = nullptr;  // List1's entries
};

// Creates the controls as children of `form`, sizes the form and sets its
// caption. The form owns everything created.
Form1Controls buildForm1Layout(QWidget& form);

} // namespace qtui
