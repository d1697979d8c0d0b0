// The option dialog's caption and the texts its tests look for, as the
// module's resources hold them (code page 1252).
#ifndef QV_TESTS_DIALOG_TEXTS_H
#define QV_TESTS_DIALOG_TEXTS_H

const char kDialogCaption[] = "Informazioni su stampante e opzioni";
const char kRangeMessage[] = "L' ID deve essere un numero pari tra 30 e 70.";
const char kInternalFailureMessage[] = "Errore interno dell'applicazione.";
const char kGuideEnter[] =
    "Inserite i dati relativi alle opzioni dopo aver stampato i fogli di informazioni.";
const char kGuideSaved[] =
    "I dati relativi alle opzioni sono gi\xE0 salvati, perci\xF2 non dovete inserire alcuna "
    "informazione.";

#endif
