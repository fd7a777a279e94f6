// What the report page carries besides its content: its style sheet (the
// screen, and A4 print) and its one inline script. Both are ASCII.
#ifndef PAUTA_ESTILOPAGINA_H
#define PAUTA_ESTILOPAGINA_H

// The style sheet. Class names: "ap" passed, "rp" failed, "av" in
// assessment, "pe" no grade; "abaixo" a unit whose pass rate is below the
// course's.
extern const char* const estiloPagina;
// Added to the style sheet only when the course has a history.
extern const char* const estiloHistorico;

// The page's script, run at the end of the page. It reads the students'
// lines of records (the element "registos") and the JSON of the element
// "dados-registos" (RegistosPagina), and:
// - lays out a student's records (the line of article "al-N" is the N-th)
//   in his table when he comes near the screen, and every student's before
//   printing;
// - sorts the overview table "tabela-ucs" by the column whose header is
//   clicked (again: the other way round; cells read as numbers in the
//   columns of class "n", blanks and dashes last);
// - puts a search field in the students' index "indice-estudantes" that
//   shows only the entries holding what is typed, ignoring case and
//   accents, with the count of those shown.
// Without scripts the page is whole but for the records' rows.
extern const char* const scriptPagina;

#endif
