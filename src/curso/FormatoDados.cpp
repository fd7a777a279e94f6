// The data files as wholes: a student file's blocks read and written (each
// unit line by FormatoUnidade.cpp), and a unit file's course record and
// units.
#include "FormatoDados.h"

#include <ostream>

#include "Cp1252.h"
#include "LeitorLinhas.h"
#include "Nomes.h"
#include "Numeros.h"
#include "NumerosLidos.h"

namespace formato {

namespace {

// A student's unit lines end at a blank line, a line of one character, or
// the next student record.
bool fimDoBloco(std::string_view texto) {
  return texto.size() <= 1 || linhaEmBranco(texto) || primeiroCampo(texto) == palavraAluno;
}

// Reads the unit lines that follow a student record into `ucs`, up to the
// end of the block; a line that cannot be read is reported and skipped.
void leUnidadesDoBloco(LeitorLinhas& ficheiro, std::vector<UC>& ucs) {
  std::string_view texto;
  while (ficheiro.proximaLinha(texto)) {
    if (fimDoBloco(texto)) {
      if (linhaEmBranco(texto)) break;
      if (texto.size() > 1) {
        ficheiro.devolveLinha();  // the next student's record
      } else {
        ficheiro.ignoraLinha();  // one character that ends the block is still dropped
      }
      break;
    }
    // Read in place: the unit is never copied, and its name and e-folios
    // are allocated once, at their final size.
    if (!leUnidade(texto, ucs.emplace_back(), ficheiro, true)) {
      ucs.pop_back();
      ficheiro.ignoraLinha();
    }
  }
}

}  // namespace

bool leBlocoAluno(std::string_view linha, LeitorLinhas& ficheiro, Estudantes& estudante,
                  size_t unidadesPrevistas) {
  size_t separa = linha.find(';');
  int numero = 0;
  NumerosLidos numeros(true);
  if (!numeros.inteiro(linha.substr(0, separa), numero)) {
    ficheiro.ignoraLinha();
    return false;
  }
  numeros.conta(ficheiro);
  estudante.setNumAluno(numero);
  estudante.setNome(std::string(separa == std::string_view::npos ? std::string_view()
                                                                 : linha.substr(separa + 1)));
  std::vector<UC>& ucs = estudante.alteraListaUCs();
  ucs.clear();
  ucs.reserve(unidadesPrevistas);
  leUnidadesDoBloco(ficheiro, ucs);
  if (ucs.capacity() != ucs.size()) ucs.shrink_to_fit();
  return true;
}

void leFicheiroEstudantes(LeitorLinhas& ficheiro, std::vector<Estudantes>& estudantes) {
  const std::string_view inicio = inicioRegistoAluno;
  std::string_view texto;
  // Students of a course mostly take as many units as the one before them.
  size_t unidadesPrevistas = 0;
  while (ficheiro.proximaLinha(texto)) {
    if (texto.size() <= inicio.size() || texto.compare(0, inicio.size(), inicio) != 0) {
      if (!linhaEmBranco(texto)) ficheiro.ignoraLinha();
      continue;
    }
    Estudantes& estudante = estudantes.emplace_back();
    if (leBlocoAluno(texto.substr(inicio.size()), ficheiro, estudante, unidadesPrevistas)) {
      unidadesPrevistas = estudante.numeroUCs();
    } else {
      estudantes.pop_back();
    }
  }
  ficheiro.avisaNumerosRestantes();
}

long contaRegistosAluno(LeitorLinhas& ficheiro) {
  return ficheiro.contaRestantesComPrimeiroCampo(palavraAluno);
}

void gravaFicheiroEstudanteUC(const Estudantes& estudante, std::string& destino) {
  for (const UC& uc : estudante.getListaUCs()) gravaFicheiroEstudanteUC(uc, destino);
}

void acrescentaBlocoAluno(std::string& destino, const Estudantes& estudante) {
  destino += inicioRegistoAluno;
  acrescentaInteiro(destino, estudante.getNumAluno());
  destino += ';';
  destino += estudante.nomeAluno();
  destino += "\r\n";
  gravaFicheiroEstudanteUC(estudante, destino);
  destino += "\r\n";
}

namespace {

// The student file is saved in pieces of whole blocks of about this size: a
// large course without its whole file in memory, in few writes.
const size_t tamanhoPedaco = 1 << 20;

}  // namespace

Pedacos pedacosFicheiroEstudantes(const std::vector<Estudantes>& estudantes) {
  size_t seguinte = 0;
  std::string texto;
  return [&estudantes, seguinte, texto](std::string_view& pedaco) mutable {
    texto.clear();
    while (seguinte < estudantes.size() && texto.size() < tamanhoPedaco) {
      acrescentaBlocoAluno(texto, estudantes[seguinte++]);
    }
    pedaco = texto;
    return !texto.empty();
  };
}

std::string conteudoFicheiroEstudantes(const std::vector<Estudantes>& estudantes) {
  std::string conteudo;
  for (const Estudantes& e : estudantes) acrescentaBlocoAluno(conteudo, e);
  return conteudo;
}

bool leRegistoCurso(std::string_view linha, RegistoCurso& registo) {
  size_t fimPalavra = linha.find(';');
  if (fimPalavra == std::string_view::npos || linha.substr(0, fimPalavra) != palavraCurso) {
    return false;
  }
  std::string_view resto = linha.substr(fimPalavra + 1);
  size_t fimCodigo = resto.find(';');
  int codigo = 0;
  if (!leInteiro(resto.substr(0, fimCodigo), codigo)) return false;
  std::string_view nome;
  if (fimCodigo != std::string_view::npos) {
    nome = resto.substr(fimCodigo + 1);
    nome = nome.substr(0, nome.find(';'));
  }
  registo.codigo = codigo;
  registo.nome.assign(nome);
  return true;
}

bool registoCursoDoCatalogo(LeitorLinhas& ficheiro, RegistoCurso& registo) {
  bool encontrado = false;
  std::string_view texto;
  while (ficheiro.proximaLinha(texto)) encontrado = leRegistoCurso(texto, registo) || encontrado;
  return encontrado;
}

namespace {

// The course's total of ECTS runs up to three digits.
const int maximoTotalEcts = 999;

// The field after the course's name, or none.
bool quartoCampo(std::string_view linha, std::string_view& campo) {
  size_t fim = 0;
  for (int campos = 0; campos < 3; ++campos) {
    fim = linha.find(';', fim);
    if (fim == std::string_view::npos) return false;
    ++fim;
  }
  campo = linha.substr(fim);
  campo = campo.substr(0, campo.find(';'));
  return true;
}

bool digito(char c) { return c >= '0' && c <= '9'; }

// The first line of a unit file, with the course's total of ECTS when it
// gives one; an invalid total is named, and the default is kept.
void leTotalDoRegisto(LeitorLinhas& ficheiro, std::string_view linha, int& totalEcts) {
  std::string_view texto;
  int total = 0;
  switch (leTotalEcts(linha, total, texto)) {
    case TotalEcts::valido:
      totalEcts = total;
      break;
    case TotalEcts::invalido:
      ficheiro.mensagens() << TXT("ATENÇÃO: Linha ") << ficheiro.numeroLinha() << " do ficheiro "
                           << ficheiro.nomeFicheiro() << ": total de ECTS '" << texto
                           << TXT("' inválido; usado ") << totalEcts << std::endl;
      break;
    case TotalEcts::ausente:
      break;
  }
}

}  // namespace

TotalEcts leTotalEcts(std::string_view linha, int& total, std::string_view& texto) {
  std::string_view campo;
  if (primeiroCampo(linha) != palavraCurso || !quartoCampo(linha, campo)) return TotalEcts::ausente;
  if (campo.empty() || !digito(campo.front())) return TotalEcts::ausente;
  texto = campo;
  int valor = 0;
  for (char c : campo) {
    if (!digito(c)) return TotalEcts::invalido;
    valor = valor * 10 + (c - '0');
    if (valor > maximoTotalEcts) return TotalEcts::invalido;
  }
  if (valor == 0) return TotalEcts::invalido;
  total = valor;
  return TotalEcts::valido;
}

void leFicheiroUnidades(LeitorLinhas& ficheiro, std::vector<UC>& unidades, int& totalEcts) {
  std::string_view texto;
  if (!ficheiro.proximaLinha(texto)) return;
  leTotalDoRegisto(ficheiro, texto, totalEcts);
  UC uc;
  while (ficheiro.proximaLinha(texto)) {
    if (texto.empty()) continue;
    // The unit file's reals keep the program's own decimal point: a comma
    // there is reported like any other text after a number.
    if (leUnidade(texto, uc, ficheiro, false)) {
      unidades.push_back(uc);
    } else {
      ficheiro.ignoraLinha();
    }
  }
  ficheiro.avisaNumerosRestantes();
}

}  // namespace formato
