;Language: Tamil (1097), the pages Virel's setup shows; the others fall back to English.

!insertmacro LANGFILE "Tamil" = "தமிழ்" "Tamil"

!ifdef MUI_WELCOMEPAGE
  ${LangFileString} MUI_TEXT_WELCOME_INFO_TITLE "$(^NameDA) நிறுவலுக்கு வருக"
  ${LangFileString} MUI_TEXT_WELCOME_INFO_TEXT "$(^NameDA) நிறுவலில் இந்த நிரல் உங்களுக்கு வழிகாட்டும்.$\r$\n$\r$\nவிரெல் ஏற்கெனவே இயங்கினால், நிறுவி அதை முடித்துப் புதிய கோப்புகளுடன் மீண்டும் தொடங்கும்.$\r$\n$\r$\n$_CLICK"
!endif

!ifdef MUI_DIRECTORYPAGE
  ${LangFileString} MUI_TEXT_DIRECTORY_TITLE "நிறுவும் இடத்தைத் தேர்ந்தெடுங்கள்"
  ${LangFileString} MUI_TEXT_DIRECTORY_SUBTITLE "$(^NameDA) நிறுவ வேண்டிய கோப்புறையைத் தேர்ந்தெடுங்கள்."
!endif

!ifdef MUI_INSTFILESPAGE
  ${LangFileString} MUI_TEXT_INSTALLING_TITLE "நிறுவுகிறது"
  ${LangFileString} MUI_TEXT_INSTALLING_SUBTITLE "$(^NameDA) நிறுவப்படும் வரை காத்திருங்கள்."
  ${LangFileString} MUI_TEXT_FINISH_TITLE "நிறுவல் முடிந்தது"
  ${LangFileString} MUI_TEXT_FINISH_SUBTITLE "நிறுவல் வெற்றிகரமாக முடிந்தது."
  ${LangFileString} MUI_TEXT_ABORT_TITLE "நிறுவல் நிறுத்தப்பட்டது"
  ${LangFileString} MUI_TEXT_ABORT_SUBTITLE "நிறுவல் வெற்றிகரமாக முடியவில்லை."
!endif

!ifdef MUI_UNINSTFILESPAGE
  ${LangFileString} MUI_UNTEXT_UNINSTALLING_TITLE "நீக்குகிறது"
  ${LangFileString} MUI_UNTEXT_UNINSTALLING_SUBTITLE "$(^NameDA) நீக்கப்படும் வரை காத்திருங்கள்."
  ${LangFileString} MUI_UNTEXT_FINISH_TITLE "நீக்கல் முடிந்தது"
  ${LangFileString} MUI_UNTEXT_FINISH_SUBTITLE "நீக்கல் வெற்றிகரமாக முடிந்தது."
  ${LangFileString} MUI_UNTEXT_ABORT_TITLE "நீக்கல் நிறுத்தப்பட்டது"
  ${LangFileString} MUI_UNTEXT_ABORT_SUBTITLE "நீக்கல் வெற்றிகரமாக முடியவில்லை."
!endif

!ifdef MUI_FINISHPAGE
  ${LangFileString} MUI_TEXT_FINISH_INFO_TITLE "$(^NameDA) நிறுவல் நிறைவு"
  ${LangFileString} MUI_TEXT_FINISH_INFO_TEXT "$(^NameDA) உங்கள் கணினியில் நிறுவப்பட்டது.$\r$\n$\r$\nநிறுவியை மூட முடி என்பதைச் சொடுக்குங்கள்."
  ${LangFileString} MUI_TEXT_FINISH_INFO_REBOOT "$(^NameDA) நிறுவலை முடிக்க உங்கள் கணினியை மீண்டும் தொடங்க வேண்டும். இப்போதே மீண்டும் தொடங்கவா?"
!endif

!ifdef MUI_FINISHPAGE | MUI_UNFINISHPAGE
  ${LangFileString} MUI_TEXT_FINISH_REBOOTNOW "இப்போதே மீண்டும் தொடங்கு"
  ${LangFileString} MUI_TEXT_FINISH_REBOOTLATER "பின்னர் நானே மீண்டும் தொடங்குவேன்"
  ${LangFileString} MUI_TEXT_FINISH_RUN "$(^NameDA) இயக்கு (&R)"
  ${LangFileString} MUI_TEXT_FINISH_SHOWREADME "குறிப்புகளைக் காட்டு (&S)"
  ${LangFileString} MUI_BUTTONTEXT_FINISH "முடி (&F)"
!endif

!ifdef MUI_UNCONFIRMPAGE
  ${LangFileString} MUI_UNTEXT_CONFIRM_TITLE "$(^NameDA) நீக்கல்"
  ${LangFileString} MUI_UNTEXT_CONFIRM_SUBTITLE "$(^NameDA) உங்கள் கணினியிலிருந்து நீக்கப்படும்."
!endif

!ifdef MUI_ABORTWARNING
  ${LangFileString} MUI_TEXT_ABORTWARNING "$(^Name) நிறுவலை விட்டு வெளியேற விரும்புகிறீர்களா?"
!endif

!ifdef MUI_UNABORTWARNING
  ${LangFileString} MUI_UNTEXT_ABORTWARNING "$(^Name) நீக்கலை விட்டு வெளியேற விரும்புகிறீர்களா?"
!endif
