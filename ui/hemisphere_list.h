#pragma once

#include <QComboBox>
#include <QString>

// A hemisphere list of the form: it shows the letters ("E", "O" or "N", "S") and a screen
// reader says the words ("Est", "Ouest", "Nord", "Sud") and the list's own name.
//
// Qt's own accessible combo box gives a list, on Linux, the name of its current text whatever
// its accessible name says, so a reader would only announce "E". This class brings an
// accessible interface of its own, installed the first time a list is made.
class CHemisphereList : public QComboBox {
    Q_OBJECT
public:
    explicit CHemisphereList(QWidget* parent = nullptr);

    // Appends an item showing letter that a screen reader says as word.
    void AddLetter(const QString& letter, const QString& word);

    // What a screen reader says for the current item (empty when there is none).
    QString SpokenText() const;
};
