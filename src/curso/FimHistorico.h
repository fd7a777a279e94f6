// The end of a history of saved changes as the next save finds it before
// appending (the layout is in FormatoHistorico.h, the saves' marks in
// LeituraHistorico.h): only its first line and its last ones are read, so
// a save stays as fast however long the history grows.
#ifndef PAUTA_FIMHISTORICO_H
#define PAUTA_FIMHISTORICO_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "Estado.h"
#include "LeituraHistorico.h"

namespace historico {

// Why a history cannot be appended to as it is.
enum class Dano {
  nenhum,
  cabecalho,    // it does not start with the line "HISTORICO;1"
  ultimaLinha,  // its last whole line cannot be read
};

// The last save the history records, as the next writer must close it.
enum class Pendente {
  nenhuma,        // closed, or none
  semIdentidade,  // open without its identities: it did not happen
  identificada,   // open with its identities (`identidades`): the file says
  talvez,         // value lines at the end, too many to tell whether a save
                  // of this version holds them: an "anulada" voids it if so
};

struct FimHistorico {
  Dano dano = Dano::nenhum;
  // Nothing but the header or a piece of it: it is written anew from byte 0.
  bool semCabecalho = false;
  std::uint64_t tamanho = 0;  // the size examined
  std::uint64_t corte = 0;    // where its last whole line ends: what follows was cut short
  std::string anterior;       // the last whole line's VERIFICACAO (16 zeros: the header)
  std::string fimLinha;       // its line end, that appended lines follow
  Pendente pendente = Pendente::nenhuma;
  IdentidadesGravacao identidades;
};

// Reads `maximo` bytes from `posicao` (fewer at the end of the file).
using LeBytes =
    std::function<Estado(std::uint64_t posicao, std::size_t maximo, std::string* texto)>;

// Examines a history of `tamanho` bytes read through `le`: its header, the
// last line cut short that the next writer cuts off, its last whole line
// and the state of the last save. Fails only when it cannot be read.
Estado examinaFim(std::uint64_t tamanho, const LeBytes& le, FimHistorico* fim);

}  // namespace historico

#endif
