#pragma once
// A read-only multi-line view of one text field of a data source's current record. Its field
// can be switched at run time (setDataField: the advice goes from Seikai to Fuseikai). Typing
// never reaches the table.

#include "DataSource.h"
#include "Layouts.h"

#include <QPlainTextEdit>

class DBMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit DBMemo(QWidget* parent = nullptr);
    void setDataSource(DataSource* source);
    DataSource* dataSource() const { return link_.dataSource(); }
    void setDataField(const QString& name);
    QString dataField() const { return link_.dataField(); }
    void refresh();
    // Shows the field in the pupil's language (see LanguageChoice), the record's KEY_FIELD (its
    // Bango; the advice's level) naming the text of SOURCE (bank | hazard | advice); follows every
    // change of language.
    void setTranslated(const char* source, const char* keyField = layouts::field::Bango);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // With a translation shown, the text is set smaller, as far as needed to fit (the design's
    // size again for the Japanese alone).
    void FitText();
    FieldLink link_;
    const char* translatedSource_ = nullptr;
    const char* translatedKey_ = nullptr;
    int designPixels_ = -1;   // the font's pixel size before any fitting
    QString fittedFor_;       // the text and viewport size the font was last fitted to
};
