// Shared by the data-file tests: a scratch working directory, loading a file
// as course loading does, saving, and the texts of tables and saves.
#ifndef PAUTA_TESTES_DADOS_H
#define PAUTA_TESTES_DADOS_H

#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>

#include "Captura.h"
#include "Cenario.h"
#include "LeitorLinhas.h"
#include "Listacurso.h"

namespace dados {

namespace fs = std::filesystem;

struct Pasta {  // a scratch working directory
  Cenario c;
  fs::path antes = fs::current_path();
  Pasta() { fs::current_path(c.dir()); }
  ~Pasta() { fs::current_path(antes); }
};
// Loads a student file (or a unit file), as course loading does.
inline Listacurso carrega(const std::string& conteudo, std::string* saida = nullptr, bool ucs = false) {
  Captura c;
  LeitorLinhas f(conteudo, ucs ? "12-UC.txt" : "12-Estudantes.txt");
  Listacurso k;
  if (ucs) k.setUCsCurso(12, static_cast<int>(f.contaLinhas() - 1), f);
  else k.setListaEstudantes(12, static_cast<int>(f.contaLinhasComPrimeiroCampo("ALUNO")), f);
  if (saida != nullptr) *saida = c.saida();
  return k;
}
inline std::string col(const std::string& t, size_t n) { return t.size() >= n ? t : t + std::string(n - t.size(), ' '); }
inline std::string fila(const std::string& a, const std::string& b, const std::string& c = "") {
  return std::string(8, ' ') + col(a, 15) + col(b, 50) + (c.empty() ? "" : col(c, 10)) + "\n";
}
const std::string regua = std::string(155, '-') + "\n";
inline std::multiset<std::string> linhas(const std::string& texto) {
  std::istringstream s(texto);
  std::multiset<std::string> r;
  for (std::string l; std::getline(s, l);) r.insert(l);
  return r;
}
const std::string sem = ";AVALIACAO;-1;A;-1;-1;B;-1;-1;C;-1;-1;F;-1;R;-1;N;-1";
const std::string U1 = "21002;Álgebra Linear;1;1;6;AVALIACAO;1;A;80;2;B;75;2;C;90;4;F;9.5;R;-1;N;16";
const std::string U2 = "21037;Estatística;1;2;6;AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;F;14;R;-1;N;14";
const std::string U3 = "21053;Bases de Dados;2;1;6" + sem;
using Mapa = std::map<std::string, std::string>;
const std::string nome = "12-Estudantes.txt";
const auto OK =
    std::make_pair(1, "\n ---------- AS ALTERAÇÕES FORAM GRAVADAS NO FICHEIRO " + nome + " ----------\n\n");
const auto FALHA = std::make_pair(0, "ERRO: Não foi possivel gravar o ficheiro " + nome + "\n");
const std::string valido = crlf({"ALUNO;1001;Um", U1, "", "ALUNO;1002;Dois", ""});
inline std::pair<int, std::string> grava(Listacurso& k) {
  Captura c;
  const int r = k.gravaFicheiro(nome);
  return {r, c.saida()};
}

}  // namespace dados

#endif
