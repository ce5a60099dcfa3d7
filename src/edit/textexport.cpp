#include "edit/textexport.h"

#include "common/messages.h"
#include "common/texts.h"
#include "edit/edittexts.h"
#include "platform/prompts.h"
#include "platform/textfile.h"

namespace pennoro::textexport {

QString chooseFile(Prompts& prompts)
{
    prompts.message(edittexts::outputNotice, texts::applicationTitle, Prompts::Icon::None);
    return prompts.saveFileName(edittexts::textFileFilter);
}

bool writeFile(const QString& path, QStringView text, Prompts& prompts)
{
    const FileResult result = writeTextFile(path, text);
    if (!result.ok())
        reportFailure(prompts, messages::writeFailed(result));
    return result.ok();
}

} // namespace pennoro::textexport
