#include "Cmenu.h"

#include <ostream>
#include <string_view>

#include "Cp1252.h"
#include "Ficheiros.h"
#include "FormatoDados.h"
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
  formato::RegistoCurso registo;
  if (formato::registoCursoDoCatalogo(leitor, registo)) {
    codigo = registo.codigo;
    nome = std::move(registo.nome);
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
