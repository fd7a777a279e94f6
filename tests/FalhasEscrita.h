// A fault-injecting watcher of the platform's writes (as leveldb's fault-injection environment):
// it records every step of every write (temporary files, locks, the history appended to and cut
// back), refuses the steps a test names with the cause it chooses, and tells what the files would
// hold after a power cut at any moment. A file's content reaches the disk only when the file is
// flushed; a name (created, renamed, linked or removed) only when its folder is flushed. The files
// present when it is installed are taken as on the disk.
#ifndef PAUTA_TESTES_FALHASESCRITA_H
#define PAUTA_TESTES_FALHASESCRITA_H

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "Apoio.h"
#include "Ficheiros.h"

class GravadorEscritas : public ObservadorEscritas {
 public:
  using Recusa = std::function<bool(PassoEscrita, const Texto& nome, const Texto& para)>;

  // Watches the writes from now on; the current folder's files are on the disk.
  GravadorEscritas() {
    for (const auto& e : fs::directory_iterator(".")) {
      if (!e.is_regular_file()) continue;
      const Texto nome = e.path().filename().string();
      atual_[nome] = duravel_[nome] = novoInode(leFicheiro(nome));
    }
    observaEscritas(this);
  }
  ~GravadorEscritas() override { observaEscritas(nullptr); }
  GravadorEscritas(const GravadorEscritas&) = delete;
  GravadorEscritas& operator=(const GravadorEscritas&) = delete;

  Causa passo(PassoEscrita p, const Texto& nome, const Texto& para) override {
    quedas.push_back(aposQueda());
    if (recusa && recusa(p, nome, para)) return causaRecusa;
    passos.push_back(
        semAleatorio(Texto(nomePasso(p)) + " " + nome + (para.empty() ? "" : " " + para)));
    aplica(p, nome, para);
    return Causa::nenhuma;
  }

  // What each file would hold after a power cut now.
  Mapa aposQueda() const {
    Mapa r;
    for (const auto& [nome, inode] : duravel_) r[nome] = inodes_[inode];
    return r;
  }
  // Makes the watched files what they would be after a power cut now: the unflushed data and
  // names are dropped.
  void simulaQueda() const {
    const Mapa depois = aposQueda();
    for (const auto& [nome, inode] : atual_) {
      if (depois.count(nome) == 0) fs::remove(nome);
    }
    for (const auto& [nome, conteudo] : depois) {
      std::ofstream(nome, std::ios::binary | std::ios::trunc) << conteudo;
    }
  }

  std::vector<Texto> passos;                // "STEP NAME [NEW NAME]", temporary names as NAME.tmp.*
  std::vector<Mapa> quedas;                 // aposQueda() just before each step
  Recusa recusa;                            // answers true for a step to refuse
  Causa causaRecusa = Causa::entradaSaida;  // the failure of a refused step

 private:
  static Texto leFicheiro(const Texto& nome) {
    std::ifstream f(nome, std::ios::binary);
    return Texto(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  }
  static Texto pastaDe(const Texto& nome) {
    const size_t barra = nome.find_last_of('/');
    if (barra == Texto::npos) return ".";
    return barra == 0 ? "/" : nome.substr(0, barra);
  }
  size_t novoInode(const Texto& duravel) {
    inodes_.push_back(duravel);
    return inodes_.size() - 1;
  }
  void conhece(const Texto& nome) {  // a file met outside the watch is on the disk
    if (!nome.empty() && atual_.count(nome) == 0 && fs::is_regular_file(nome)) {
      atual_[nome] = duravel_[nome] = novoInode(leFicheiro(nome));
    }
  }
  size_t inodeDe(const Texto& nome) {
    conhece(nome);
    return atual_.at(nome);
  }
  void aplica(PassoEscrita p, const Texto& nome, const Texto& para) {
    if (p != PassoEscrita::criacao) conhece(nome);
    conhece(para);
    switch (p) {
      case PassoEscrita::criacao:
        atual_[nome] = novoInode("");  // its name and content not yet on the disk
        break;
      case PassoEscrita::escrita:  // appended or cut: on the disk once flushed
      case PassoEscrita::corte:
      case PassoEscrita::tranca:
        break;
      case PassoEscrita::descarga:  // every write came before: the file holds them all
        inodes_[inodeDe(nome)] = leFicheiro(nome);
        break;
      case PassoEscrita::renomeacao:
        atual_[para] = inodeDe(nome);
        atual_.erase(nome);
        break;
      case PassoEscrita::ligacao:
        atual_[para] = inodeDe(nome);
        break;
      case PassoEscrita::remocao:
        atual_.erase(nome);
        break;
      case PassoEscrita::descargaPasta:
        descarregaPasta(nome);
        break;
    }
  }
  void descarregaPasta(const Texto& pasta) {
    std::set<Texto> todos;
    for (const auto& [n, i] : atual_) todos.insert(n);
    for (const auto& [n, i] : duravel_) todos.insert(n);
    for (const Texto& n : todos) {
      if (pastaDe(n) != pasta) continue;
      if (atual_.count(n) != 0) {
        duravel_[n] = atual_[n];
      } else {
        duravel_.erase(n);
      }
    }
  }

  std::vector<Texto> inodes_;        // each file's content as on the disk
  std::map<Texto, size_t> atual_;    // the names as the program sees them
  std::map<Texto, size_t> duravel_;  // the names as on the disk
};

#endif
