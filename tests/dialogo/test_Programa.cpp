// The dialogue run in this process on a console in memory: it prints exactly what the program
// prints on the same answers, leaves the same files, and when the answers run out it says
// goodbye and returns, with the course lock released.
#include "Apoio.h"
#include "Cp1252.h"
#include "Programa.h"
#include "Relogio.h"

namespace {

// Both runs read the clock at this instant, so the dates of their histories compare.
const std::time_t instante = 1796644800;  // 2026-12-07 12:00:00 UTC

struct Corrida {
  Texto saida;
  Mapa ficheiros;
  int estado;
};

Corrida noProcesso(const Texto& entrada) {
  PastaTemporaria p;
  p.c.copiaExemplos();
  ConsolaTeste c(entrada);
  fixaRelogio(instante);
  const int estado = executaDialogo(c.consola);
  fixaRelogio(std::nullopt);
  return {c.escrito(), p.c.ficheiros(), estado};
}

Corrida noPrograma(const Texto& entrada) {
  Cenario c;
  c.copiaExemplos();
  c.fixaRelogio(instante);
  const Resultado r = c.executa(entrada);
  return {semCr(r.saida), c.ficheiros(), r.estado};
}

bool terminaCom(const Texto& texto, const Texto& fim) {
  return texto.size() >= fim.size() &&
         texto.compare(texto.size() - fim.size(), fim.size(), fim) == 0;
}

}  // namespace

TEST(Dialogo, NoProcessoComoNoPrograma) {
  const Texto novoAluno = "12\n3\n9999\nNovo Aluno\n";
  const struct {
    Texto entrada, fim;
  } casos[] = {
      {"", "\nA sair ..."},
      {"0\n", "\nA Sair ..."},
      {"12\n", "\nA sair ..."},
      // A consultation switches the number format, an e-folio check then prints weights in it.
      {"12\n1\n1001\n2\n1001\n21002\n1\n8\n", "\nA sair ..."},
      {novoAluno, alteracoesPerdidas},
      {novoAluno + "9\n9\n", alteracoesPerdidas},
      {novoAluno + "9\n9\n1\n", "\nA sair ..."},
      {novoAluno + "4\n9\n0\n9\n", "\nA sair ..."},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.entrada);
    const Corrida aqui = noProcesso(caso.entrada), programa = noPrograma(caso.entrada);
    EXPECT_EQ(aqui.estado, 0);
    EXPECT_TRUE(terminaCom(aqui.saida, caso.fim)) << aqui.saida;
    EXPECT_EQ(aqui.saida, programa.saida);
    EXPECT_EQ(aqui.ficheiros, programa.ficheiros);
    EXPECT_EQ(aqui.ficheiros.count("12-Estudantes.txt.lock"), 0u);
  }
}
