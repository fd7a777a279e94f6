#include "CarregaCurso.h"

#include <ostream>
#include <string>
#include <utility>

#include "Cp1252.h"
#include "FormatoDados.h"
#include "LeitorLinhas.h"
#include "Leitura.h"
#include "Nomes.h"

namespace {

// The course's name, by the catalogue's rule, for the modes that show it.
void guardaNomeDoCatalogo(const TextoUnidades& texto, const std::string& nome, Listacurso& unidades,
                          std::ostream& avisos) {
  LeitorLinhas registos = leitorUnidades(texto.conteudo, texto.analise, nome, avisos);
  formato::RegistoCurso registo;
  if (formato::registoCursoDoCatalogo(registos, registo)) unidades.guardaNomeCurso(registo.nome);
}

}  // namespace

bool carregaUnidadesCurso(int nCurso, Listacurso& unidades, const RelatoCarregamento& relato,
                          std::string* razao) {
  const std::string nomefUCs = nomeFicheiroUC(nCurso);
  TextoUnidades texto;
  std::string porque;
  const LeituraUnidades leitura = leTextoUnidades(nomefUCs, texto, porque);
  if (leitura == LeituraUnidades::utf16 && razao != nullptr) *razao = porque;
  if (leitura != LeituraUnidades::lida) return false;
  avisaTextoUtf8(nomefUCs, texto.analise, *relato.avisos);
  guardaNomeDoCatalogo(texto, nomefUCs, unidades, *relato.avisos);
  LeitorLinhas fUCs =
      leitorUnidades(std::move(texto.conteudo), texto.analise, nomefUCs, *relato.avisos);
  const long numUCs = fUCs.contaLinhas() - 1;
  if (relato.progresso != nullptr) {
    *relato.progresso << TXT("o número de UCs do curso é: ") << numUCs << std::endl;
  }
  unidades.setUCsCurso(nCurso, static_cast<int>(numUCs), fUCs);
  return true;
}

namespace {

// The blocks of an open file, for a LeitorLinhas; a read error leaves its
// cause in `falha`.
FonteBlocos blocosDe(LeituraPorBlocos& ficheiro, Estado& falha) {
  return [&ficheiro, &falha](char* destino, size_t maximo, size_t* lidos) {
    Estado lido = ficheiro.le(destino, maximo, lidos);
    if (lido.ok()) return true;
    falha = std::move(lido);
    return false;
  };
}

FicheiroEstudantes ilegivel(const RelatoCarregamento& relato, const std::string& nome,
                            const std::string& razao, int nCurso) {
  *relato.avisos << "ERRO: O ficheiro " << nome << TXT(" existe mas não pode ser lido (") << razao
                 << "); o curso " << nCurso << TXT(" não foi aberto") << std::endl;
  return FicheiroEstudantes::ilegivel;
}

void anunciaAbertura(std::ostream* progresso, const std::string& nome) {
  if (progresso == nullptr) return;
  *progresso << std::endl;
  *progresso << "A abrir o Ficheiro de estudantes " << nome << std::endl;
  *progresso << std::endl;
}

FicheiroEstudantes semFicheiro(Listacurso& estudantes, std::ostream* progresso,
                               const std::string& nome) {
  estudantes.setIdentidadeFicheiro(IdentidadeFicheiro());
  if (progresso != nullptr) {
    *progresso << TXT("Não foi possivel abrir o ficheiro ") << nome << std::endl;
  }
  return FicheiroEstudantes::inexistente;
}

// The first reading: counts the student records, analysing the text.
// False, with `razao`, when the file is UTF-16 or could not be read (the
// cause of a read error in `falha`).
bool contaEstudantes(LeitorLinhas& linhas, const Estado& falha, long& numEstudantes,
                     std::string& razao) {
  numEstudantes = formato::contaRegistosAluno(linhas);
  if (linhas.marca() == cp1252::Marca::utf16) {
    razao = razaoUtf16;
    return false;
  }
  if (linhas.erroLeitura()) razao = textoCausa(falha);
  return !linhas.erroLeitura();
}

// The second reading: loads the `numEstudantes` students of the open file
// with `linhas`, the reader of the first, started over.
FicheiroEstudantes leEstudantes(int nCurso, Listacurso& estudantes,
                                const RelatoCarregamento& relato, LeituraPorBlocos& ficheiro,
                                LeitorLinhas& linhas, long numEstudantes) {
  const std::string nome = nomeFicheiroEstudantes(nCurso);
  if (relato.progresso != nullptr) {
    *relato.progresso << TXT("O número de Estudantes carregados é ") << numEstudantes << std::endl;
  }
  const bool utf8 = linhas.analise().utf8();
  Estado falha;
  linhas.recomeca(blocosDe(ficheiro, falha));
  if (utf8) linhas.converteDeUtf8();
  estudantes.setOrigemUtf8(utf8);
  estudantes.setListaEstudantes(nCurso, static_cast<int>(numEstudantes), linhas);
  if (linhas.erroLeitura()) {
    estudantes.esqueceEstudantes();
    return ilegivel(relato, nome, textoCausa(falha), nCurso);
  }
  estudantes.setIdentidadeFicheiro(ficheiro.identidade());
  return FicheiroEstudantes::carregado;
}

// Why the unit file of course nCurso was not loaded: unreadable for
// `razao`, or missing.
void avisaSemUnidades(const RelatoCarregamento& relato, int nCurso, const std::string& razao) {
  if (!razao.empty()) {
    ilegivel(relato, nomeFicheiroUC(nCurso), razao, nCurso);
    return;
  }
  *relato.avisos << "ERRO: O curso " << nCurso
                 << TXT(" não existe: não foi possivel ler o ficheiro ") << nomeFicheiroUC(nCurso)
                 << std::endl;
}

}  // namespace

// The student file is read twice, block by block, never whole: once to
// count the students, then to load them. What was loaded is what the
// identity describes.
FicheiroEstudantes carregaEstudantesCurso(int nCurso, Listacurso& estudantes,
                                          const RelatoCarregamento& relato) {
  const std::string nome = nomeFicheiroEstudantes(nCurso);
  anunciaAbertura(relato.progresso, nome);
  LeituraPorBlocos contagem;
  const Estado aberto = contagem.abre(nome);
  const bool existe = aberto.causa() != Causa::naoExiste;
  if (!aberto.ok() && existe) return ilegivel(relato, nome, textoCausa(aberto), nCurso);
  estudantes.setCurso(nCurso);
  if (!existe) return semFicheiro(estudantes, relato.progresso, nome);
  // One reader for both readings, started over for the second with the
  // room it has: a very long line takes one buffer, not two; and no buffer
  // is freed and taken again (which makes the allocator sort its free lists).
  Estado falha;
  LeitorLinhas contadas(blocosDe(contagem, falha), nome, *relato.avisos);
  long numEstudantes = 0;
  std::string razao;
  if (!contaEstudantes(contadas, falha, numEstudantes, razao)) {
    return ilegivel(relato, nome, razao, nCurso);
  }
  LeituraPorBlocos ficheiro;
  const Estado reaberto = ficheiro.abre(nome);
  if (!reaberto.ok()) {
    const bool foi = reaberto.causa() == Causa::naoExiste;
    return ilegivel(relato, nome, foi ? "desapareceu" : textoCausa(reaberto), nCurso);
  }
  avisaTextoUtf8(nome, contadas.analise(), *relato.avisos);
  return leEstudantes(nCurso, estudantes, relato, ficheiro, contadas, numEstudantes);
}

bool carregaCursoSemDialogo(int nCurso, Listacurso& unidades, Listacurso& estudantes,
                            std::ostream& erros) {
  const RelatoCarregamento relato{nullptr, &erros};
  std::string razao;
  if (!carregaUnidadesCurso(nCurso, unidades, relato, &razao)) {
    avisaSemUnidades(relato, nCurso, razao);
    return false;
  }
  switch (carregaEstudantesCurso(nCurso, estudantes, relato)) {
    case FicheiroEstudantes::carregado:
      return true;
    case FicheiroEstudantes::inexistente:
      erros << TXT("ATENÇÃO: O curso ") << nCurso << TXT(" ainda não tem ficheiro de estudantes")
            << std::endl;
      return true;
    case FicheiroEstudantes::ilegivel:
      break;
  }
  return false;
}
