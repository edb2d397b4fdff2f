#include "editor/PrintableCopy.h"

#include "editor/ScintillaText.h"
#include "core/script/Windows1252.h"

#include <Qsci/qsciscintilla.h>

#include <utility>

namespace marlix {

namespace {

using Sci = QsciScintillaBase;

void copyStyle(const QsciScintillaBase &from, QsciScintilla &to, unsigned long style) {
    static const std::pair<unsigned int, unsigned int> attributes[] = {
        {Sci::SCI_STYLEGETFORE, Sci::SCI_STYLESETFORE},
        {Sci::SCI_STYLEGETBACK, Sci::SCI_STYLESETBACK},
        {Sci::SCI_STYLEGETSIZEFRACTIONAL, Sci::SCI_STYLESETSIZEFRACTIONAL},
        {Sci::SCI_STYLEGETWEIGHT, Sci::SCI_STYLESETWEIGHT},
        {Sci::SCI_STYLEGETITALIC, Sci::SCI_STYLESETITALIC},
        {Sci::SCI_STYLEGETUNDERLINE, Sci::SCI_STYLESETUNDERLINE},
        {Sci::SCI_STYLEGETEOLFILLED, Sci::SCI_STYLESETEOLFILLED}};
    for (const auto &[get, set] : attributes)
        to.SendScintilla(set, style, from.SendScintilla(get, style));
    char family[256] = {};
    if (from.SendScintilla(Sci::SCI_STYLEGETFONT, style, static_cast<void *>(family)) <
        long(sizeof(family)))
        to.SendScintilla(Sci::SCI_STYLESETFONT, style, family);
}

} // namespace

std::unique_ptr<QsciScintilla> printableCopy(const QsciScintillaBase &editor) {
    auto copy = std::make_unique<QsciScintilla>();
    copy->setUtf8(true);
    copy->SendScintilla(Sci::SCI_SETEOLMODE, editor.SendScintilla(Sci::SCI_GETEOLMODE));
    copy->SendScintilla(Sci::SCI_SETTABWIDTH, editor.SendScintilla(Sci::SCI_GETTABWIDTH));
    for (unsigned long style = 0; style <= Sci::STYLE_MAX; ++style)
        copyStyle(editor, *copy, style);

    const qsizetype length = editor.SendScintilla(Sci::SCI_GETLENGTH);
    const auto *data =
        static_cast<const char *>(editor.SendScintillaPtrResult(Sci::SCI_GETCHARACTERPOINTER));
    const Utf8Styled text = windows1252Utf8(QByteArray::fromRawData(data, length),
                                            ScintillaText(editor).styles(0, length));
    copy->SendScintilla(Sci::SCI_ADDTEXT, static_cast<unsigned long>(text.text.size()),
                        text.text.constData());
    copy->SendScintilla(Sci::SCI_STARTSTYLING, 0UL, 0L);
    copy->SendScintilla(Sci::SCI_SETSTYLINGEX, static_cast<unsigned long>(text.styles.size()),
                        text.styles.constData());
    return copy;
}

} // namespace marlix
