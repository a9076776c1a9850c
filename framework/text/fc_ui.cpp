#include "framework/text/fc_ui.h"

int32_t FCUI::Show(const FCString* message, const FCString* caption, const char* defaultCaption,
                   uint32_t style) const {
    FCString shown;
    if (caption != nullptr && caption->GetLength() >= 1) {
        shown.SetString(caption);
    } else {
        shown.SetCString(defaultCaption);
    }
    return platform::MessageBoxW(parent_, message != nullptr ? message->GetUTF16() : u"",
                                 shown.GetUTF16(), style);
}

void FCUI::AlertError(const FCString* message, const FCString* caption) const {
    Show(message, caption, "Error", platform::MB_OK | platform::MB_ICONERROR);
}

int FCUI::AlertYesNo(const FCString* message, const FCString* caption) const {
    switch (Show(message, caption, "Yes/No?", platform::MB_YESNO)) {
        case platform::IDYES:
            return ANSWER_YES;
        case platform::IDNO:
            return ANSWER_NO;
        default:
            return ANSWER_NONE;
    }
}

void FCUI::AlertInfo(const FCString* message, const FCString* caption) const {
    Show(message, caption, "Information", platform::MB_OK | platform::MB_ICONINFORMATION);
}

void FCUI::AlertWarning(const FCString* message, const FCString* caption) const {
    Show(message, caption, "Warning", platform::MB_OK | platform::MB_ICONWARNING);
}
