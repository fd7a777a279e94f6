#include "CarregaCurso.h"

#include <ostream>
#include <string>
#include <utility>

#include "Cp1252.h"
#include "Ficheiros.h"
#include "FormatoDados.h"
#include "LeitorLinhas.h"
#include "Nomes.h"

LeituraUnidades leTextoUnidades(const std::string& nome, TextoUnidades& texto, std::string& razao) {
  if (leFicheiroNormal(nome, &texto.conteudo, nullptr, &razao) != Leitura::lido) {
    return LeituraUnidades::naoLida;
  }
  if (cp1252::marcaInicial(texto.conteudo) == cp1252::Marca::utf16) {
    razao = razaoUtf16;
    return LeituraUnidades::utf16;
  }
  texto.analise.acrescenta(cp1252::semMarcaUtf8(texto.conteudo));
  return LeituraUnidades::lida;
}

LeitorLinhas leitorUnidades(std::string conteudo, const cp1252::AnaliseTexto& analise,
                            const std::string& nome, std::ostream& mensagens) {
  LeitorLinhas leitor(std::move(conteudo), nome, mensagens);
  if (analise.utf8()) leitor.converteDeUtf8();
  return leitor;
}

bool carregaUnidadesCurso(int nCurso, Listacurso& unidades, const RelatoCarregamento& relato,
                          std::string* razao) {
  const std::string nomefUCs = nomeFicheiroUC(nCurso);
  TextoUnidades texto;
  std::string porque;
  switch (leTextoUnidades(nomefUCs, texto, porque)) {
    case LeituraUnidades::lida:
      break;
    case LeituraUnidades::utf16:
      if (razao != nullptr) *razao = porque;
      return false;
    case LeituraUnidades::naoLida:
      return false;
  }
  avisaTextoUtf8(nomefUCs, texto.analise, *relato.avisos);
  // The course's name, by the catalogue's rule, for the modes that show it.
  LeitorLinhas registos = leitorUnidades(texto.conteudo, texto.analise, nomefUCs, *relato.avisos);
  formato::RegistoCurso registo;
  if (formato::registoCursoDoCatalogo(registos, registo)) unidades.guardaNomeCurso(registo.nome);
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
// reason in `razao`.
FonteBlocos blocosDe(LeituraPorBlocos& ficheiro, std::string& razao) {
  return [&ficheiro, &razao](char* destino, size_t maximo, size_t* lidos) {
    return ficheiro.le(destino, maximo, lidos, &razao);
  };
}

FicheiroEstudantes ilegivel(const RelatoCarregamento& relato, const std::string& nome,
                            const std::string& razao, int nCurso) {
  *relato.avisos << "ERRO: O ficheiro " << nome << TXT(" existe mas não pode ser lido (") << razao
                 << "); o curso " << nCurso << TXT(" não foi aberto") << std::endl;
  return FicheiroEstudantes::ilegivel;
}

// What the first reading of the student file, which counts the students,
// found.
struct Contagem {
  long estudantes = 0;
  bool utf16 = false;
  bool erroLeitura = false;
  cp1252::AnaliseTexto analise;
};

// Counts the students with `linhas`, a reader over the student file.
Contagem contaEstudantes(LeitorLinhas& linhas) {
  Contagem contagem;
  contagem.estudantes = formato::contaRegistosAluno(linhas);
  contagem.utf16 = linhas.marca() == cp1252::Marca::utf16;
  contagem.erroLeitura = linhas.erroLeitura();
  contagem.analise = linhas.analise();
  return contagem;
}

}  // namespace

// The student file is read twice, block by block, never whole: once to
// count the students, then to load them. What was loaded is what the
// identity describes.
FicheiroEstudantes carregaEstudantesCurso(int nCurso, Listacurso& estudantes,
                                          const RelatoCarregamento& relato) {
  const std::string nomefEstudantes = nomeFicheiroEstudantes(nCurso);
  std::ostream* progresso = relato.progresso;
  if (progresso != nullptr) {
    *progresso << std::endl;
    *progresso << "A abrir o Ficheiro de estudantes " << nomefEstudantes << std::endl;
    *progresso << std::endl;
  }
  std::string razao;
  LeituraPorBlocos contagem;
  const Leitura leitura = contagem.abre(nomefEstudantes, &razao);
  if (leitura == Leitura::ilegivel) return ilegivel(relato, nomefEstudantes, razao, nCurso);
  estudantes.setCurso(nCurso);
  if (leitura == Leitura::inexistente) {
    estudantes.setIdentidadeFicheiro(IdentidadeFicheiro());
    if (progresso != nullptr) {
      *progresso << TXT("Não foi possivel abrir o ficheiro ") << nomefEstudantes << std::endl;
    }
    return FicheiroEstudantes::inexistente;
  }
  // One reader for both readings: with a very long line, one buffer the
  // size of that line, not two.
  LeitorLinhas fEstudantes(blocosDe(contagem, razao), nomefEstudantes, *relato.avisos);
  const Contagem contados = contaEstudantes(fEstudantes);
  if (contados.utf16) return ilegivel(relato, nomefEstudantes, razaoUtf16, nCurso);
  LeituraPorBlocos ficheiro;
  if (contados.erroLeitura || ficheiro.abre(nomefEstudantes, &razao) != Leitura::lido) {
    if (razao.empty()) razao = "desapareceu";
    return ilegivel(relato, nomefEstudantes, razao, nCurso);
  }
  const long numEstudantes = contados.estudantes;
  const bool utf8 = contados.analise.utf8();
  avisaTextoUtf8(nomefEstudantes, contados.analise, *relato.avisos);
  if (progresso != nullptr) {
    *progresso << TXT("O número de Estudantes carregados é ") << numEstudantes << std::endl;
  }
  fEstudantes.recomeca(blocosDe(ficheiro, razao));
  if (utf8) fEstudantes.converteDeUtf8();
  estudantes.setOrigemUtf8(utf8);
  estudantes.setListaEstudantes(nCurso, static_cast<int>(numEstudantes), fEstudantes);
  if (fEstudantes.erroLeitura()) {
    estudantes.esqueceEstudantes();
    return ilegivel(relato, nomefEstudantes, razao, nCurso);
  }
  estudantes.setIdentidadeFicheiro(ficheiro.identidade());
  return FicheiroEstudantes::carregado;
}

bool carregaCursoSemDialogo(int nCurso, Listacurso& unidades, Listacurso& estudantes,
                            std::ostream& erros) {
  const RelatoCarregamento relato{nullptr, &erros};
  std::string razao;
  if (!carregaUnidadesCurso(nCurso, unidades, relato, &razao)) {
    if (!razao.empty()) {
      ilegivel(relato, nomeFicheiroUC(nCurso), razao, nCurso);
    } else {
      erros << "ERRO: O curso " << nCurso << TXT(" não existe: não foi possivel ler o ficheiro ")
            << nomeFicheiroUC(nCurso) << std::endl;
    }
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
