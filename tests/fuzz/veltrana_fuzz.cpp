// StrToTVeltrana: any text is either one of the table's texts, which must convert
// back to exactly that text, or a refusal with platform::Exception.

#include "common/Funcoes_Veltrana.h"
#include "platform/Exception.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = fuzz::text(data, size);
    TVeltrana value;
    try {
        value = StrToTVeltrana(text);
    } catch (const platform::Exception &) {
        return 0;
    } catch (const std::exception &e) {
        fuzz::unexpected(e);
    }
    QString back;
    try {
        back = TVeltranaToStr(value);
    } catch (const platform::Exception &e) {
        fuzz::fail("a value StrToTVeltrana gave has no text", e.Message());
    }
    if (back != text)
        fuzz::fail("StrToTVeltrana / TVeltranaToStr do not round-trip",
                   QStringLiteral("text %1\nback %2 (value %3)").arg(text, back).arg(int(value)));
    return 0;
}
