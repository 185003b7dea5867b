; The installer's and the uninstaller's own texts, in English and German (the pages themselves
; come from the Modern UI's language files). The installer shows those of the system's language.

LangString DirectoryText ${LANG_ENGLISH} "Setup installs ${PRODUCT} ${VERSION} into the Plugins folder of Winamp. Choose the player's folder, the one that holds ${PLAYER_EXE}."
LangString DirectoryText ${LANG_GERMAN} "Das Setup installiert ${PRODUCT} ${VERSION} in den Plugins-Ordner von Winamp. Wählen Sie den Ordner des Players, in dem ${PLAYER_EXE} liegt."

LangString DirectoryLabel ${LANG_ENGLISH} "Winamp's folder"
LangString DirectoryLabel ${LANG_GERMAN} "Winamp-Ordner"

LangString NoPlayerHere ${LANG_ENGLISH} "There is no ${PLAYER_EXE} in$\r$\n$INSTDIR.$\r$\n$\r$\nInstall the plug-in there all the same?"
LangString NoPlayerHere ${LANG_GERMAN} "In$\r$\n$INSTDIR$\r$\nliegt keine ${PLAYER_EXE}.$\r$\n$\r$\nDas Plugin trotzdem dort installieren?"

LangString PlayerRunning ${LANG_ENGLISH} "Winamp is running and has to be closed first.$\r$\n$\r$\nOK closes Winamp, Cancel stops here."
LangString PlayerRunning ${LANG_GERMAN} "Winamp läuft und muss zuerst beendet werden.$\r$\n$\r$\nOK beendet Winamp, Abbrechen hält hier an."

LangString UninstallChoice ${LANG_ENGLISH} "The plug-in is removed. Your settings stay for a later installation unless you tick them too."
LangString UninstallChoice ${LANG_GERMAN} "Das Plugin wird entfernt. Ihre Einstellungen bleiben für eine spätere Installation erhalten, außer Sie kreuzen sie auch an."

LangString PluginPart ${LANG_ENGLISH} "Plug-in (gen_lum.dll)"
LangString PluginPart ${LANG_GERMAN} "Plugin (gen_lum.dll)"

LangString SettingsPart ${LANG_ENGLISH} "Settings (gen_lum.ini)"
LangString SettingsPart ${LANG_GERMAN} "Einstellungen (gen_lum.ini)"

LangString CannotRemove ${LANG_ENGLISH} "$INSTDIR\gen_lum.dll could not be removed. Close Winamp and run the uninstaller again."
LangString CannotRemove ${LANG_GERMAN} "$INSTDIR\gen_lum.dll konnte nicht entfernt werden. Beenden Sie Winamp und starten Sie die Deinstallation erneut."
