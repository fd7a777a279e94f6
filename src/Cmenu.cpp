#include "Cmenu.h"

#include <ostream>
#include <string_view>

#include "Cp1252.h"
#include "Ficheiros.h"
#include "LeitorLinhas.h"
#include "Nomes.h"
#include "Numeros.h"
#include "Tabela.h"

Cmenu::Cmenu()
    : separador(' '),
      larguraInicial(8),
      larguraCodigo(15),
      larguraNome(50),
      linha('-'),
      larguraFicheiro(10),
      codigo(0),
      valido_(false) {}

Cmenu::Cmenu(const std::string& nomeF) : Cmenu() {
  nomeFicheiro = nomeF;
  std::string conteudo;
  if (leFicheiroNormal(nomeF, &conteudo, nullptr, &razao_) != Leitura::lido) return;
  if (cp1252::marcaInicial(conteudo) == cp1252::Marca::utf16) {
    razao_ = razaoUtf16;
    return;
  }
  analise_.acrescenta(cp1252::semMarcaUtf8(conteudo));
  LeitorLinhas leitor(std::move(conteudo), nomeF);
  if (analise_.utf8()) leitor.converteDeUtf8();
  std::string_view texto;
  while (leitor.proximaLinha(texto)) {
    size_t fimPalavra = texto.find(';');
    if (fimPalavra == std::string_view::npos || texto.substr(0, fimPalavra) != palavraCurso)
      continue;
    std::string_view resto = texto.substr(fimPalavra + 1);
    size_t fimCodigo = resto.find(';');
    int c = 0;
    if (!leInteiro(resto.substr(0, fimCodigo), c)) continue;
    std::string_view textoNome;
    if (fimCodigo != std::string_view::npos) {
      textoNome = resto.substr(fimCodigo + 1);
      textoNome = textoNome.substr(0, textoNome.find(';'));
    }
    codigo = c;
    nome.assign(textoNome);
    valido_ = true;
  }
  if (!valido_) razao_ = TXT("não tem a linha CURSO;código;nome");
}

Cmenu::~Cmenu() = default;

void Cmenu::imprimeCurso(std::ostream& saida) const {
  celula(saida, "", larguraInicial, separador);
  celula(saida, codigo, larguraCodigo, separador);
  celula(saida, nome, larguraNome, separador);
  celula(saida, nomeFicheiro, larguraFicheiro, separador);
  saida << std::endl;
}
