// The main dialog's form exchange: which field each control shows, and how the form is stored
// (controls to fields) and loaded (fields to controls).

#include "ui/display_text.h"
#include "ui/ervalun_dlg.h"
#include "ui/form/form_number.h"
#include "ui/form/list_index.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>

#include <string_view>

namespace {

using namespace dlgid;

// The form's bindings, in the order the form is stored: the numbers first (so that a refused
// number leaves every later field as it was), then the lists and texts.
enum class Exchange { Number, Index, Text, Lines };

struct FormBinding {
    int id;
    Exchange kind;
    double CErvalunDlg::*number;
    int CErvalunDlg::*index;
    std::string CErvalunDlg::*text;
    // Shown by a read-only control: the field is the truth and is never read back. Reading the
    // result numbers back would refuse a result beyond 360 degrees and block every later store.
    bool loadOnly;
};

constexpr FormBinding Number(int id, double CErvalunDlg::*field) {
    return {id, Exchange::Number, field, nullptr, nullptr, false};
}
constexpr FormBinding Result(int id, double CErvalunDlg::*field) {
    return {id, Exchange::Number, field, nullptr, nullptr, true};
}
constexpr FormBinding Index(int id, int CErvalunDlg::*field) {
    return {id, Exchange::Index, nullptr, field, nullptr, false};
}
constexpr FormBinding Text(int id, std::string CErvalunDlg::*field) {
    return {id, Exchange::Text, nullptr, nullptr, field, true};
}
constexpr FormBinding Lines(int id, std::string CErvalunDlg::*field) {
    return {id, Exchange::Lines, nullptr, nullptr, field, true};
}

const FormBinding kBindings[] = {
    Number(kLonDeg1, &CErvalunDlg::m_lonDeg1),
    Number(kLonMin1, &CErvalunDlg::m_lonMin1),
    Number(kLonSec1, &CErvalunDlg::m_lonSec1),
    Number(kLatDeg1, &CErvalunDlg::m_latDeg1),
    Number(kLatMin1, &CErvalunDlg::m_latMin1),
    Number(kLatSec1, &CErvalunDlg::m_latSec1),
    Number(kBearing1, &CErvalunDlg::m_bearing1),
    Number(kLonDeg2, &CErvalunDlg::m_lonDeg2),
    Number(kLonMin2, &CErvalunDlg::m_lonMin2),
    Number(kLonSec2, &CErvalunDlg::m_lonSec2),
    Number(kLatDeg2, &CErvalunDlg::m_latDeg2),
    Number(kLatMin2, &CErvalunDlg::m_latMin2),
    Number(kLatSec2, &CErvalunDlg::m_latSec2),
    Number(kBearing2, &CErvalunDlg::m_bearing2),
    Result(kResLonDeg, &CErvalunDlg::m_resLonDeg),
    Result(kResLonMin, &CErvalunDlg::m_resLonMin),
    Result(kResLonSec, &CErvalunDlg::m_resLonSec),
    Result(kResLatDeg, &CErvalunDlg::m_resLatDeg),
    Result(kResLatMin, &CErvalunDlg::m_resLatMin),
    Result(kResLatSec, &CErvalunDlg::m_resLatSec),
    Index(kLonHem1, &CErvalunDlg::m_lonHem1),
    Index(kLonHem2, &CErvalunDlg::m_lonHem2),
    Index(kLatHem1, &CErvalunDlg::m_latHem1),
    Index(kLatHem2, &CErvalunDlg::m_latHem2),
    Text(kResLonHem, &CErvalunDlg::m_resLonHem),
    Text(kResLatHem, &CErvalunDlg::m_resLatHem),
    Index(kPosition1, &CErvalunDlg::m_position1),
    Index(kPosition2, &CErvalunDlg::m_position2),
    Text(kNearestName, &CErvalunDlg::m_nearestName),
    Index(kMembers, &CErvalunDlg::m_member),
    Text(kOperatorName, &CErvalunDlg::m_operatorName),
    Lines(kParticipants, &CErvalunDlg::m_participantsText),
};

const char* const kNotANumberMessage = "Entrez un nombre.";
const char* const kOutOfRangeMessage = "Entrez un nombre compris entre 0 et 360.";

} // namespace

bool CErvalunDlg::UpdateData(bool save) {
    for (const FormBinding& binding : kBindings) {
        QWidget* control = GetDlgItem(binding.id);
        if (save && binding.loadOnly) {
            continue;
        }
        switch (binding.kind) {
        case Exchange::Number: {
            auto* edit = static_cast<QLineEdit*>(control);
            double& field = this->*binding.number;
            if (!save) {
                const QString shown = QString::fromStdString(ervalun::FormatFormNumber(field));
                // Only a changed text is set, so only a change notifies the validation.
                if (edit->text() != shown) {
                    edit->setText(shown);
                    edit->setCursorPosition(0);
                }
                break;
            }
            const QByteArray text = edit->text().toUtf8();
            const ervalun::FormNumberStatus status = ervalun::ParseFormNumber(
                std::string_view(text.constData(), static_cast<std::size_t>(text.size())), field);
            if (status != ervalun::FormNumberStatus::Ok) {
                ShowMessage(status == ervalun::FormNumberStatus::OutOfRange ? kOutOfRangeMessage
                                                                            : kNotANumberMessage);
                edit->setFocus();
                edit->selectAll();
                return false;
            }
            break;
        }
        case Exchange::Index: {
            auto* combo = static_cast<QComboBox*>(control);
            int& field = this->*binding.index;
            if (save) {
                field = combo->currentIndex();
            } else {
                combo->setCurrentIndex(
                    ervalun::DesignatesEntry(field, static_cast<std::size_t>(combo->count()))
                        ? field
                        : -1);
            }
            break;
        }
        case Exchange::Text: {
            auto* edit = static_cast<QLineEdit*>(control);
            const QString shown = DisplayName(this->*binding.text);
            if (edit->text() != shown) {
                edit->setText(shown);
                edit->setCursorPosition(0);
            }
            break;
        }
        case Exchange::Lines: {
            auto* edit = static_cast<QPlainTextEdit*>(control);
            const QString shown = DisplayNameLines(this->*binding.text);
            if (edit->toPlainText() != shown) {
                edit->setPlainText(shown);
                // The newest name is the one just added: keep it in view.
                edit->verticalScrollBar()->setValue(edit->verticalScrollBar()->maximum());
            }
            break;
        }
        }
    }
    return true;
}
