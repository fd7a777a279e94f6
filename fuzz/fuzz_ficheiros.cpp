// Fuzz target of the data-file readers and the student-file writer. The
// input is read both as a unit file and as a student file. Whatever loads
// must survive a save: writing it and reading the written file back gives
// the same students, units and values (reals compared by their 6-digit
// text, final grades by their whole part, which is all the file keeps),
// without any skipped line, and writing again gives the same bytes. The
// written bytes are also compared with a file built here, independently,
// from the documented layout.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "ApoioFuzz.h"
#include "Cp1252.h"
#include "Efolio.h"
#include "Estudantes.h"
#include "FormatoDados.h"
#include "LeitorLinhas.h"
#include "Listacurso.h"
#include "UC.h"

namespace {

// A real as it is kept in a student file: printf's %g.
std::string texto(float valor) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%g", static_cast<double>(valor));
  return buffer;
}

void comparaUC(const UC& a, const UC& b) {
  VERIFICA(a.getCodigo() == b.getCodigo(), TXT("código da UC"));
  VERIFICA(a.nomeUC() == b.nomeUC(), "nome da UC");
  VERIFICA(a.getAno() == b.getAno(), "ano");
  VERIFICA(a.getsemestre() == b.getsemestre(), "semestre");
  VERIFICA(a.getEcts() == b.getEcts(), "ECTS");
  VERIFICA(a.getOpcaoAvaliacao() == b.getOpcaoAvaliacao(), TXT("opção de avaliação"));
  VERIFICA(a.eFolios.size() == b.eFolios.size(), TXT("número de e-fólios"));
  for (size_t i = 0; i < a.eFolios.size(); ++i) {
    VERIFICA(a.eFolios[i].getLetra() == b.eFolios[i].getLetra(), TXT("letra do e-fólio"));
    VERIFICA(texto(a.eFolios[i].getNota()) == texto(b.eFolios[i].getNota()),
             TXT("nota do e-fólio"));
    VERIFICA(texto(a.eFolios[i].getPeso()) == texto(b.eFolios[i].getPeso()),
             TXT("peso do e-fólio"));
  }
  VERIFICA(texto(a.getProvaFinal()) == texto(b.getProvaFinal()), TXT("p-fólio/exame"));
  VERIFICA(texto(a.getProvaRecurso()) == texto(b.getProvaRecurso()), "recurso");
  VERIFICA(a.getNota() == b.getNota(), "nota final");
}

void comparaEstudantes(const std::vector<Estudantes>& a, const std::vector<Estudantes>& b) {
  VERIFICA(a.size() == b.size(), TXT("número de estudantes"));
  for (size_t i = 0; i < a.size(); ++i) {
    VERIFICA(a[i].getNumAluno() == b[i].getNumAluno(), TXT("número de aluno"));
    VERIFICA(a[i].getNome() == b[i].getNome(), "nome do aluno");
    const std::vector<UC>& ucsA = a[i].getListaUCs();
    const std::vector<UC>& ucsB = b[i].getListaUCs();
    VERIFICA(ucsA.size() == ucsB.size(), TXT("número de UCs do aluno"));
    for (size_t j = 0; j < ucsA.size(); ++j) comparaUC(ucsA[j], ucsB[j]);
  }
}

// The student file of `estudantes` written independently of the program,
// from the documented layout: reals as printf's %g, final grades as their
// whole part, CR LF line ends, an empty line after each block.
std::string ficheiroDeReferencia(const std::vector<Estudantes>& estudantes) {
  std::string f;
  for (const Estudantes& e : estudantes) {
    f += "ALUNO;" + std::to_string(e.getNumAluno()) + ";" + e.getNome() + "\r\n";
    for (const UC& uc : e.getListaUCs()) {
      f += std::to_string(uc.getCodigo()) + ";" + uc.nomeUC() + ";" + std::to_string(uc.getAno()) +
           ";" + std::to_string(uc.getsemestre()) + ";" + std::to_string(uc.getEcts()) +
           ";AVALIACAO;" + std::to_string(uc.getOpcaoAvaliacao()) + ";";
      for (const Efolio& ef : uc.eFolios) {
        f += std::string(1, ef.getLetra()) + ";" + texto(ef.getNota()) + ";" + texto(ef.getPeso()) +
             ";";
      }
      f += "F;" + texto(uc.getProvaFinal()) + ";R;" + texto(uc.getProvaRecurso()) + ";N;" +
           std::to_string(uc.getNota()) + "\r\n";
    }
    f += "\r\n";
  }
  return f;
}

// Loads a student file the way course loading does.
void carregaEstudantes(const std::string& conteudo, Listacurso& curso, bool& ignoradas) {
  LeitorLinhas leitor(conteudo, "1-Estudantes.txt");
  long n = leitor.contaLinhasComPrimeiroCampo("ALUNO");
  curso.setListaEstudantes(1, static_cast<int>(n), leitor);
  ignoradas = leitor.houveLinhasIgnoradas();
}

// Saves `curso`, reads the file back and checks the round trip.
void verificaIdaEVolta(const Listacurso& curso) {
  const std::string escrito = curso.conteudoFicheiroEstudantes();
  VERIFICA(escrito == ficheiroDeReferencia(curso.getListaEstudantes()),
           TXT("o ficheiro gravado não segue o formato"));
  Listacurso relido;
  bool ignoradas = false;
  carregaEstudantes(escrito, relido, ignoradas);
  VERIFICA(!ignoradas, TXT("o ficheiro gravado tem linhas que não se lêem"));
  comparaEstudantes(curso.getListaEstudantes(), relido.getListaEstudantes());
  VERIFICA(relido.conteudoFicheiroEstudantes() == escrito, TXT("a segunda gravação difere"));
}

// The input as a unit file: its units, given to a new student as the
// program does, must survive a save of that student.
void comoFicheiroUCs(const std::string& conteudo) {
  Listacurso unidades;
  LeitorLinhas leitor(conteudo, "1-UC.txt");
  unidades.setUCsCurso(1, static_cast<int>(leitor.contaLinhas() - 1), leitor);

  Estudantes novo;
  novo.setNumAluno(1);
  novo.setNome("Novo");
  for (const UC& uc : unidades.getListaUCsCurso()) novo.adicionaUC(uc);
  std::string ficheiro = "ALUNO;1;Novo\r\n";
  formato::gravaFicheiroEstudanteUC(novo, ficheiro);
  ficheiro += "\r\n";

  Listacurso curso;
  bool ignoradas = false;
  carregaEstudantes(ficheiro, curso, ignoradas);
  VERIFICA(!ignoradas, TXT("uma UC do curso não se lê depois de gravada"));
  comparaEstudantes({novo}, curso.getListaEstudantes());
  verificaIdaEVolta(curso);
}

void comoFicheiroEstudantes(const std::string& conteudo) {
  Listacurso curso;
  bool ignoradas = false;
  carregaEstudantes(conteudo, curso, ignoradas);
  verificaIdaEVolta(curso);
}

SaidaNula saidaNula;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  std::cout.rdbuf(&saidaNula);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
  const std::string conteudo(reinterpret_cast<const char*>(dados), tamanho);
  comoFicheiroUCs(conteudo);
  comoFicheiroEstudantes(conteudo);
  return 0;
}
