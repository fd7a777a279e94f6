#include "Cmenu.h"

#include <ostream>
#include <string_view>

#include "Cp1252.h"
#include "FormatoDados.h"
#include "LeitorLinhas.h"
#include "Nomes.h"
#include "Numeros.h"
#include "Tabela.h"
#include "TextoUnidades.h"

Cmenu::Cmenu()
    : separador(' '),
      larguraInicial(8),
      larguraCodigo(15),
      larguraNome(50),
      linha('-'),
      larguraFicheiro(10),
      codigo(0),
      valido_(false) {}

Cmenu::Cmenu(const std::string& nomeF, std::ostream& avisos) : Cmenu() {
  nomeFicheiro = nomeF;
  TextoUnidades texto;
  if (leTextoUnidades(nomeF, texto, razao_) != LeituraUnidades::lida) return;
  analise_ = texto.analise;
  LeitorLinhas leitor = leitorUnidades(std::move(texto.conteudo), analise_, nomeF, avisos);
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
